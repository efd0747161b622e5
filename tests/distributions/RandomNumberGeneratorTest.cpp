#include "distributions/LaggedFibonacci.h"
#include "distributions/RandomNumberGenerator.h"
#include "distributions/Rnd-KnuthLaggedFibonacci.h"
#include "distributions/Tausworthe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The lagged-Fibonacci sequence written out as its plain recurrence,
// x[j] = (x[j-100] + x[j-37]) mod 1, started from the state that ranf_start leaves.
// Batch b (1-based) of ranf_array(.., 100) is x[100(b-1) .. 100b-1].
std::vector<double> Sequence(long seed, int count) {
    ranf_start(seed);
    std::vector<double> x(ran_u, ran_u + 100);
    for (int j = 100; j < count; j++)
        x.push_back(std::fmod(x[j - 100] + x[j - 37], 1.0));
    return x;
}

TEST(KnuthLaggedFibonacciTest, MatchesThePublishedCheckValue) {
    // The published routine warms up with ten calls on a 199-number array inside
    // ranf_start; ours leaves them to the caller. After the warm-up and 2009 * 1009
    // further numbers, in either grouping, ran_u[0] is a published constant.
    static double a[2009];
    double warm[199];
    for (int grouping : {1009, 2009}) {
        ranf_start(310952);
        for (int j = 0; j < 10; j++)
            ranf_array(warm, 199);
        for (int m = 0; m < 3018 - grouping; m++)
            ranf_array(a, grouping);
        EXPECT_EQ(ran_u[0], 0.36410514377569680455) << "arrays of " << grouping;
    }
}

TEST(KnuthLaggedFibonacciTest, BatchesFollowTheRecurrence) {
    const std::vector<double> x = Sequence(31415, 400);
    ranf_start(31415);
    double batch[100];
    for (int b = 0; b < 3; b++) {
        ranf_array(batch, 100);
        for (int i = 0; i < 100; i++)
            ASSERT_EQ(batch[i], x[100 * b + i]) << "batch " << b + 1 << " index " << i;
    }
    // The state left behind is the next 100 numbers.
    for (int i = 0; i < 100; i++)
        ASSERT_EQ(ran_u[i], x[300 + i]) << i;
}

TEST(KnuthLaggedFibonacciTest, LongerArraysContinueTheSameSequence) {
    const std::vector<double> x = Sequence(31415, 600);
    ranf_start(31415);
    double a[250];
    ranf_array(a, 250);
    for (int i = 0; i < 250; i++)
        ASSERT_EQ(a[i], x[i]) << i;
    for (int i = 0; i < 100; i++)
        ASSERT_EQ(ran_u[i], x[250 + i]) << i;
}

TEST(KnuthLaggedFibonacciTest, StartStateLiesInTheUnitIntervalAndDependsOnTheSeed) {
    std::vector<std::vector<double>> states;
    for (long seed : {0L, 1L, 2L, 31415L, 1073741823L, 1073741824L}) {
        ranf_start(seed);
        for (int i = 0; i < 100; i++) {
            EXPECT_GE(ran_u[i], 0.0) << "seed " << seed << " index " << i;
            EXPECT_LT(ran_u[i], 1.0) << "seed " << seed << " index " << i;
        }
        for (const std::vector<double>& other : states)
            EXPECT_FALSE(std::equal(other.begin(), other.end(), ran_u)) << "seed " << seed;
        states.emplace_back(ran_u, ran_u + 100);
    }
}

TEST(KnuthLaggedFibonacciTest, StartIsRepeatable) {
    ranf_start(7);
    std::vector<double> first(ran_u, ran_u + 100);
    ranf_start(99);
    ranf_start(7);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), ran_u));
}

// The read position is process-wide and only ever moves forward, so the checks
// that depend on where it stands run in a freshly started copy of this program.
class LaggedFibonacciFreshProcessTest : public ::testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

[[noreturn]] void Report(bool ok, const char* what, int index) {
    if (!ok)
        std::fprintf(stderr, "mismatch: %s at %d\n", what, index);
    std::exit(ok ? 0 : 1);
}

void FirstDrawsAfterSeeding() {
    const std::vector<double> x = Sequence(31415, 400);
    LaggedFibonacci generator;
    generator.srnd(31415);
    // Draws 1 to 100 hand out the second batch; draw 101 refills with the third.
    for (int i = 0; i < 250; i++)
        if (generator.rnd() != x[100 + i])
            Report(false, "draw", i + 1);
    Report(true, "", 0);
}

TEST_F(LaggedFibonacciFreshProcessTest, FirstDrawsAreTheSecondBatchThenTheThird) {
    EXPECT_EXIT(FirstDrawsAfterSeeding(), ::testing::ExitedWithCode(0), "");
}

void SharedPosition() {
    const std::vector<double> x = Sequence(31415, 400);
    LaggedFibonacci a;
    LaggedFibonacci b; // both filled from the default seed
    a.srnd(31415);
    for (int i = 0; i < 30; i++)
        if (a.rnd() != x[100 + i])
            Report(false, "first instance", i);
    // The second instance reads its own batch from the common position 30 on.
    for (int i = 30; i < 100; i++)
        if (b.rnd() != b.buffer[i])
            Report(false, "second instance", i);
    // It then reaches the end first and refills its own batch from the sequence.
    if (b.rnd() != x[200])
        Report(false, "second instance refill", 0);
    // The first instance keeps its batch and reads at the common position 1.
    if (a.rnd() != x[101])
        Report(false, "first instance after the refill", 1);
    Report(true, "", 0);
}

TEST_F(LaggedFibonacciFreshProcessTest, InstancesShareOneReadPosition) {
    EXPECT_EXIT(SharedPosition(), ::testing::ExitedWithCode(0), "");
}

TEST(LaggedFibonacciTest, SeedingFillsTheBatchTwice) {
    for (long seed : {31415L, 7L, 0L}) {
        const std::vector<double> x = Sequence(seed, 300);
        LaggedFibonacci generator;
        generator.srnd(static_cast<unsigned long>(seed));
        for (int i = 0; i < 100; i++)
            ASSERT_EQ(generator.buffer[i], x[100 + i]) << "seed " << seed << " index " << i;
        for (int i = 0; i < 100; i++)
            ASSERT_EQ(ran_u[i], x[200 + i]) << "seed " << seed << " index " << i;
    }
}

TEST(LaggedFibonacciTest, AnUnseededInstanceHoldsTheDefaultSeedsBatch) {
    const std::vector<double> x = Sequence(31415, 200);
    LaggedFibonacci generator;
    for (int i = 0; i < 100; i++)
        ASSERT_EQ(generator.buffer[i], x[100 + i]) << i;
}

TEST(LaggedFibonacciTest, VariatesStayInTheUnitInterval) {
    LaggedFibonacci generator;
    generator.srnd(31415);
    for (int i = 0; i < 1000; i++) {
        double u = generator.rnd();
        ASSERT_GE(u, 0.0) << i;
        ASSERT_LT(u, 1.0) << i;
    }
}

// The shift-register step written with 64-bit arithmetic and remainders instead of
// 32-bit shifts and masks.
std::uint64_t ReferenceStep(std::uint64_t s) {
    std::uint64_t t = (s ^ (s * 8192)) % 2147483648ULL;
    return t ^ (t / 262144);
}

TEST(TauswortheTest, ZeroIsAFixedPoint) {
    for (unsigned long seed : {0UL, 0x80000000UL, 0x180000000UL}) {
        Tausworthe generator;
        generator.srnd(seed);
        for (int i = 0; i < 5; i++)
            EXPECT_EQ(generator.rnd(), 0.0) << "seed " << seed << " draw " << i;
        EXPECT_EQ(generator.state, 0u) << "seed " << seed;
    }
}

TEST(TauswortheTest, FirstValueFromSeedOne) {
    Tausworthe generator;
    generator.srnd(1);
    EXPECT_EQ(generator.rnd(), 8193 * 4.656612875245797e-10);
    EXPECT_EQ(generator.state, 8193u);
}

TEST(TauswortheTest, SequenceFollowsTheStep) {
    for (unsigned long seed : {7UL, 12345UL, 0x7fffffffUL, 0xffffffffUL}) {
        Tausworthe generator;
        generator.srnd(seed);
        std::uint64_t s = seed & 0xffffffffUL;
        for (int i = 0; i < 1000; i++) {
            s = ReferenceStep(s);
            double u = generator.rnd();
            ASSERT_EQ(generator.state, s) << "seed " << seed << " draw " << i;
            ASSERT_EQ(u, static_cast<double>(s) * 4.656612875245797e-10)
                << "seed " << seed << " draw " << i;
            ASSERT_GE(u, 0.0);
            ASSERT_LE(u, 1.0);
        }
    }
}

TEST(TauswortheTest, UnseededInstanceIsOffTheFixedPoint) {
    Tausworthe generator;
    EXPECT_NE(generator.rnd(), 0.0);
}

TEST(RandomNumberGeneratorTest, BaseReturnsZeroAndIgnoresSeeds) {
    RandomNumberGenerator generator;
    for (unsigned long seed : {0UL, 1UL, 31415UL}) {
        generator.srnd(seed);
        EXPECT_EQ(generator.rnd(), 0.0) << seed;
        EXPECT_EQ(generator.rnd(), 0.0) << seed;
    }
}

TEST(RandomNumberGeneratorTest, DerivedGeneratorsAreReachedThroughTheBase) {
    RandomNumberGenerator* generator = new Tausworthe();
    generator->srnd(1);
    EXPECT_EQ(generator->rnd(), 8193 * 4.656612875245797e-10);
    delete generator;
}

} // namespace
