// Reads a text file line by line through large blocks, keeping the number of the
// line last returned for the messages about it. The state-space files of large
// models run to hundreds of megabytes of short lines: one read call per block and
// lines handed out as views into the block keep the reading close to the disk's
// speed.
#pragma once

#include "common/UserError.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class LineReader {
  public:
    // Fails with "<path>: cannot open: <reason>" when the file cannot be read.
    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its end of line (and without a carriage return before
    // it); false at the end of the file. The view lasts until the next call.
    bool Next(std::string_view& line) {
        // A line that is whole in the buffer, as nearly every line is, without a call.
        const char* start = buffer_.data() + begin_;
        const void* nl = done_ ? nullptr : std::memchr(start, '\n', end_ - begin_);
        if (nl == nullptr)
            return NextAcrossBlocks(line);
        const char* stop = static_cast<const char*>(nl);
        const size_t at = static_cast<size_t>(stop - buffer_.data());
        if (stop > start && stop[-1] == '\r')
            stop--;
        line = std::string_view(start, static_cast<size_t>(stop - start));
        begin_ = at + 1;
        line_++;
        return true;
    }

    // The number of the line last returned (1 for the first); after the end of the
    // file, the number of the line that would have come next.
    size_t LineNumber() const { return line_; }
    const std::string& Path() const { return path_; }
    // The size of the file in bytes, as it was when opened.
    uint64_t Size() const { return size_; }

    // An error about the line last returned.
    gen::UserError Error(const std::string& what) const {
        return gen::UserError::At(path_, line_, what);
    }

  private:
    bool NextAcrossBlocks(std::string_view& line);
    bool Fill();

    std::string path_;
    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    size_t begin_ = 0; // the first byte not yet handed out
    size_t end_ = 0;   // the end of the bytes read into the buffer
    bool eof_ = false;
    bool done_ = false;
    size_t line_ = 0;
    uint64_t size_ = 0;
};
