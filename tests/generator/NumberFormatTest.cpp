// The state-space file writes rates with std::to_chars instead of the stream; the file
// must keep the bytes of the "%.10e" form. Checks that equivalence over values of every
// magnitude and sign, and rounding ties.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

namespace {

std::string ToChars(double v) {
    char buf[64];
    char* p = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 10).ptr;
    return std::string(buf, p);
}

std::string Stream(double v) {
    std::ostringstream s;
    s << std::scientific;
    s.precision(10);
    s << v;
    return s.str();
}

TEST(NumberFormatTest, ToCharsMatchesTheStreamsScientificForm) {
    std::mt19937_64 rng(12345);
    std::uniform_int_distribution<int> exponent(-320, 308);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    for (int i = 0; i < 200000; i++) {
        double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (i % 2)
            v = -v;
        ASSERT_EQ(Stream(v), ToChars(v)) << "value " << i;
    }
    const double edge[] = {0.0,
                           -1.0,
                           1.0,
                           0.5,
                           4.9999998882e-03,
                           6.012 * 0.75,
                           1.5e-16,
                           1e100,
                           1e-300,
                           5e-324,
                           1.25000000005,
                           2.00000000005,
                           1.0 / 3,
                           1.0 / 60,
                           0.00347,
                           1.7976931348623157e308};
    for (double v : edge)
        EXPECT_EQ(Stream(v), ToChars(v)) << v;
}

TEST(NumberFormatTest, ToCharsMatchesTheStreamsIntegers) {
    for (unsigned v : {0u, 1u, 9u, 10u, 999u, 1000u, 65536u, 4294967295u}) {
        char buf[16];
        char* p = std::to_chars(buf, buf + sizeof buf, v).ptr;
        std::ostringstream s;
        s << v;
        EXPECT_EQ(s.str(), std::string(buf, p));
    }
}

} // namespace
