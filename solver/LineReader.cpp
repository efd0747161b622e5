#include "solver/LineReader.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr size_t kBlock = size_t(1) << 22;

} // namespace

LineReader::LineReader(const std::string& path) : path_(path) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw gen::UserError(path + ": cannot open: it is a folder");
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr)
        throw gen::UserError(path + ": cannot open: " + std::strerror(errno));
    if (fstat(fileno(file_), &info) == 0)
        size_ = static_cast<uint64_t>(info.st_size);
    buffer_.resize(kBlock);
}

LineReader::~LineReader() {
    if (file_ != nullptr)
        std::fclose(file_);
}

bool LineReader::Fill() {
    if (eof_)
        return false;
    // Keep the unfinished line: move it to the front, and grow the buffer when that
    // line fills it all.
    const size_t kept = end_ - begin_;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
        begin_ = 0;
        end_ = kept;
    }
    if (end_ == buffer_.size())
        buffer_.resize(buffer_.size() * 2);
    const size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) {
        if (std::ferror(file_))
            throw gen::UserError(path_ + ": cannot read: " + std::strerror(errno));
        eof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LineReader::NextAcrossBlocks(std::string_view& line) {
    if (done_)
        return false;
    size_t searched = begin_;
    for (;;) {
        const char* start = buffer_.data() + searched;
        const void* nl = std::memchr(start, '\n', end_ - searched);
        if (nl != nullptr) {
            const size_t at = static_cast<size_t>(static_cast<const char*>(nl) - buffer_.data());
            size_t length = at - begin_;
            if (length > 0 && buffer_[begin_ + length - 1] == '\r')
                length--;
            line = std::string_view(buffer_.data() + begin_, length);
            begin_ = at + 1;
            line_++;
            return true;
        }
        const size_t pending = end_ - begin_;
        if (!Fill()) {
            // A last line without its end of line still counts.
            line_++;
            if (pending == 0) {
                done_ = true;
                return false;
            }
            line = std::string_view(buffer_.data() + begin_, pending);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            begin_ = end_;
            return true;
        }
        searched = begin_ + pending;
    }
}
