#include "common/TextField.h"

#include <charconv>
#include <system_error>

std::string_view TextField::Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool TextField::PlainDouble(std::string_view text, double& value) {
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

bool TextField::AnyDouble(std::string_view text, double& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool TextField::AnyUnsigned(std::string_view text, uint64_t& value) {
    text = Trim(text);
    if (text.empty())
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}
