// The state-space and reward files write numbers with std::to_chars instead of the
// stream, through a table of texts already formatted; the files must keep the bytes
// of the stream's forms ("%.10e" and the default "%g" with 6 digits). Checks that
// equivalence over values of every magnitude and sign, rounding ties, and values
// that compete for one slot of the table.

#include "generator/StateSpaceGenFormat.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

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

// The reward file's stream keeps the default format.
std::string DefaultStream(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

std::string Appended(NumberText& text, double v) {
    char buf[NumberText::MaxLength + 8];
    std::memset(buf, '#', sizeof buf);
    char* end = text.Append(buf, v);
    return std::string(buf, end);
}

// Values of every magnitude and sign, from a fixed seed.
std::vector<double> Spread(int count) {
    std::mt19937_64 rng(2024);
    std::uniform_int_distribution<int> exponent(-320, 308);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::vector<double> v;
    for (int i = 0; i < count; i++)
        v.push_back((i % 2 ? -1 : 1) * mantissa(rng) * std::pow(10.0, exponent(rng)));
    return v;
}

const double kEdge[] = {0.0,
                        -0.0,
                        -1.0,
                        1.0,
                        0.5,
                        0.00001,
                        0.0001,
                        123456.5,
                        1234565.0,
                        999999.5,
                        4.9999998882e-03,
                        6.012 * 0.75,
                        0.36 + 0.84,
                        1.5e-16,
                        1e100,
                        1e-300,
                        5e-324,
                        2.2250738585072014e-308,
                        1.25000000005,
                        2.00000000005,
                        1.0 / 3,
                        1.0 / 60,
                        0.00347,
                        1.7976931348623157e308,
                        -1.7976931348623157e308,
                        HUGE_VAL,
                        -HUGE_VAL,
                        std::nan("")};

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

TEST(NumberFormatTest, TableGivesTheStreamsScientificForm) {
    NumberText text(NumberText::Form::Scientific10);
    // Twice over: the second pass reads texts kept by the first, or re-formats the
    // values whose slots were taken since.
    const std::vector<double> values = Spread(5000);
    for (int pass = 0; pass < 2; pass++) {
        for (size_t i = 0; i < values.size(); i++)
            ASSERT_EQ(Stream(values[i]), Appended(text, values[i])) << "value " << i;
        for (double v : kEdge)
            EXPECT_EQ(Stream(v), Appended(text, v)) << v;
    }
}

TEST(NumberFormatTest, TableGivesTheStreamsDefaultForm) {
    NumberText text(NumberText::Form::Default6);
    const std::vector<double> values = Spread(200000);
    for (int pass = 0; pass < 2; pass++) {
        for (size_t i = 0; i < values.size(); i++)
            ASSERT_EQ(DefaultStream(values[i]), Appended(text, values[i])) << "value " << i;
        for (double v : kEdge)
            EXPECT_EQ(DefaultStream(v), Appended(text, v)) << v;
    }
    EXPECT_EQ(Appended(text, 0.00001), "1e-05");
    EXPECT_EQ(Appended(text, 0.5), "0.5");
    EXPECT_EQ(Appended(text, 100000.0), "100000");
    EXPECT_EQ(Appended(text, 1000000.0), "1e+06");
}

TEST(NumberFormatTest, ValuesSharingASlotKeepTheirOwnTexts) {
    // Values only differ in the low mantissa bits land on slots chosen by the
    // multiplied bits; alternate many of them so that slots are taken over.
    NumberText text(NumberText::Form::Scientific10);
    for (int round = 0; round < 3; round++) {
        for (uint64_t k = 0; k < 4096; k++) {
            double v;
            uint64_t bits = 0x3FF0000000000000ULL + k * 977;
            std::memcpy(&v, &bits, sizeof v);
            ASSERT_EQ(Stream(v), Appended(text, v)) << "bits " << bits;
        }
    }
}

TEST(NumberFormatTest, BufferedLinesReachTheStreamInOrder) {
    std::ostringstream direct, buffered;
    {
        OutputBuffer out(buffered);
        // Far more than the buffer's capacity, in lines of varying length.
        for (uint32_t n = 0; n < 300000; n++) {
            std::string line = std::to_string(n * 2654435761u) + "\n";
            direct << line;
            char* at = out.Reserve(line.size());
            std::memcpy(at, line.data(), line.size());
            out.Commit(at + line.size());
        }
        out.Flush();
        EXPECT_EQ(direct.str(), buffered.str());
        char* at = out.Reserve(3);
        std::memcpy(at, "end", 3);
        out.Commit(at + 3);
    }
    // The rest is written when the buffer goes.
    EXPECT_EQ(direct.str() + "end", buffered.str());
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
