#include "solver/LineReader.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr size_t kBlock = size_t(1) << 22;

} // namespace

LineReader::LineReader(const std::string& path) : path_(path) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw SolveError(path + ": cannot open: it is a folder");
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr)
        throw SolveError(path + ": cannot open: " + std::strerror(errno));
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
            throw SolveError(path_ + ": cannot read: " + std::strerror(errno));
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

std::string_view LineReader::Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool LineReader::PlainDouble(std::string_view text, double& value) {
    // Up to 19 digits cannot overflow the integer; those up to 2^53 are exact in a
    // double, and so are the powers of ten up to 1e22 (5^22 < 2^53). The product or
    // quotient of two exact doubles is rounded once, to the nearest, as the decimal
    // value itself would be.
    static const double kPower[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kMaxPower = 22;
    constexpr uint64_t kExact = uint64_t(1) << 53;
    const char* p = text.data();
    const char* const end = p + text.size();
    auto digit = [&](const char* at) { return at < end && static_cast<unsigned>(*at - '0') <= 9; };
    if (!digit(p))
        return false;
    uint64_t m = 0;
    int digits = 0, scale = 0;
    for (; digit(p); p++, digits++)
        m = 10 * m + static_cast<unsigned>(*p - '0');
    if (p < end && *p == '.') {
        p++;
        if (!digit(p))
            return false;
        for (; digit(p); p++, digits++, scale--)
            m = 10 * m + static_cast<unsigned>(*p - '0');
    }
    if (digits > 19 || m > kExact)
        return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        p++;
        bool negative = false;
        if (p < end && (*p == '+' || *p == '-'))
            negative = *p++ == '-';
        if (!digit(p))
            return false;
        int e = 0;
        for (int n = 0; digit(p); p++, n++) {
            if (n == 4)
                return false;
            e = 10 * e + (*p - '0');
        }
        scale += negative ? -e : e;
    }
    if (p != end)
        return false;
    if (m == 0) {
        value = 0.0;
        return true;
    }
    if (scale < -kMaxPower || scale > kMaxPower)
        return false;
    const double mantissa = static_cast<double>(m);
    value = scale < 0 ? mantissa / kPower[-scale] : mantissa * kPower[scale];
    return true;
}

bool LineReader::AnyDouble(std::string_view text, double& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool LineReader::AnyUnsigned(std::string_view text, uint64_t& value) {
    text = Trim(text);
    if (text.empty())
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}
