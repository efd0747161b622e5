// The simulator's parts on their own: its random streams against the framework's
// generator, the event heap against a sorted reference, the t quantiles, the
// running estimates, the block sizes of the stopping rule and the command line.
#include "common/UserError.h"
#include "distributions/Rnd-KnuthLaggedFibonacci.h"
#include "simulator/Estimate.h"
#include "simulator/EventHeap.h"
#include "simulator/ReplicationRunner.h"
#include "simulator/ReplicationStream.h"
#include "simulator/SimOptions.h"
#include "simulator/StudentT.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// The numbers LaggedFibonacci hands out after srnd(seed): the sequence from
// ranf_start(seed), less its first 100.
std::vector<double> FrameworkSequence(long seed, int n) {
    double saved[100];
    std::memcpy(saved, ran_u, sizeof saved);
    ranf_start(seed);
    std::vector<double> all(static_cast<size_t>(n + 100));
    ranf_array(all.data(), n + 100);
    std::memcpy(ran_u, saved, sizeof saved);
    return std::vector<double>(all.begin() + 100, all.end());
}

TEST(ReplicationStreamTest, HandsOutTheFrameworksSequenceOfItsSeed) {
    for (long seed : {0L, 1L, 31415L, 123456789L, 1073741821L}) {
        ReplicationStream s;
        s.srnd(static_cast<unsigned long>(seed));
        const std::vector<double> expected = FrameworkSequence(seed, 3500);
        for (size_t k = 0; k < expected.size(); k++)
            ASSERT_EQ(s.rnd(), expected[k]) << "seed " << seed << ", number " << k;
    }
}

TEST(ReplicationStreamTest, LeavesTheProcessWideGeneratorAlone) {
    double before[100];
    std::memcpy(before, ran_u, sizeof before);
    ReplicationStream s;
    s.srnd(77);
    for (int k = 0; k < 5000; k++)
        s.rnd();
    EXPECT_EQ(std::memcmp(before, ran_u, sizeof before), 0);
}

TEST(ReplicationStreamTest, SeedsOfOneRunAreConsecutiveAndOfRunsApart) {
    const struct {
        uint64_t seed, k;
    } cases[] = {{1, 0}, {1, 1}, {1, 999999}, {2, 0}, {UINT64_MAX, 5}};
    for (const auto& c : cases) {
        const unsigned long s = ReplicationStream::SeedOf(c.seed, c.k);
        EXPECT_LT(s, ReplicationStream::kSeeds);
        if (c.k > 0) {
            EXPECT_EQ(s,
                      (ReplicationStream::SeedOf(c.seed, c.k - 1) + 1) % ReplicationStream::kSeeds);
        }
    }
    const unsigned long a = ReplicationStream::SeedOf(1, 0), b = ReplicationStream::SeedOf(2, 0);
    const unsigned long gap = a > b ? a - b : b - a;
    EXPECT_GT(gap, 1000000u);
}

TEST(EventHeapTest, PopsInTimeOrderWithTiesByNumber) {
    std::mt19937 random(7);
    const int n = 40;
    EventHeap heap(n);
    std::vector<double> due(n, -1.0); // the reference: -1 when not scheduled
    for (int step = 0; step < 20000; step++) {
        const int a = static_cast<int>(random() % n);
        // Times from a few values, so that ties are common.
        const double t = static_cast<double>(random() % 8);
        switch (random() % 4) {
        case 0:
        case 1:
            if (due[a] < 0) {
                heap.Insert(a, t);
                due[a] = t;
            } else {
                heap.Update(a, t);
                due[a] = t;
            }
            break;
        case 2:
            if (due[a] >= 0) {
                heap.Remove(a);
                due[a] = -1.0;
            }
            break;
        default: {
            int best = -1;
            for (int i = 0; i < n; i++)
                if (due[i] >= 0 && (best < 0 || due[i] < due[best]))
                    best = i;
            ASSERT_EQ(heap.Empty(), best < 0);
            if (best >= 0) {
                ASSERT_EQ(heap.TopTime(), due[best]);
                ASSERT_EQ(heap.Pop(), best) << "step " << step;
                due[best] = -1.0;
            }
        }
        }
        for (int i = 0; i < n; i++)
            ASSERT_EQ(heap.Scheduled(i), due[i] >= 0);
    }
}

TEST(StudentTTest, QuantilesOfTheTables) {
    const struct {
        double level, dof, t;
    } cases[] = {
        {0.95, 1, 12.7062047},   {0.95, 2, 4.30265273},   {0.95, 10, 2.22813885},
        {0.95, 30, 2.04227246},  {0.99, 5, 4.03214298},   {0.90, 5, 2.01504837},
        {0.95, 1e6, 1.95996591}, {0.999, 20, 3.84951627}, {0.5, 3, 0.764892328},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(StudentT::TwoSided(c.level, c.dof), c.t, 1e-6 * c.t)
            << "level " << c.level << ", " << c.dof << " degrees of freedom";
}

TEST(EstimateTest, MeanAndVarianceOfTheObservations) {
    const std::vector<std::vector<double>> samples = {
        {1.0, 2.0, 3.0, 4.0},
        {1e9 + 1, 1e9 + 2, 1e9 + 3},
        {0.25, 0.25, 0.5, 0.0, 1.0, 0.75},
        {-5.0, 5.0},
    };
    for (const std::vector<double>& x : samples) {
        Estimate e;
        for (double v : x)
            e.Add(v);
        double mean = 0.0, ss = 0.0;
        for (double v : x)
            mean += v / static_cast<double>(x.size());
        for (double v : x)
            ss += (v - mean) * (v - mean);
        const double variance = ss / static_cast<double>(x.size() - 1);
        EXPECT_EQ(e.Count(), x.size());
        EXPECT_NEAR(e.Mean(), mean, 1e-12 * std::fabs(mean) + 1e-15);
        EXPECT_NEAR(e.Variance(), variance, 1e-9 * variance);
        EXPECT_NEAR(e.HalfWidth(0.95, 2.0), 2.0 * std::sqrt(variance / x.size()), 1e-9);
    }
}

TEST(EstimateTest, AnEventNotYetSeenKeepsAnHonestHalfWidth) {
    const struct {
        double value;
        int count;
        bool ruleOfThree;
    } cases[] = {{0.0, 100, true}, {1.0, 50, true}, {0.5, 100, false}, {3.0, 10, false}};
    for (const auto& c : cases) {
        Estimate e;
        for (int k = 0; k < c.count; k++)
            e.Add(c.value);
        const double expected = c.ruleOfThree ? -std::log(0.05) / c.count : 0.0;
        EXPECT_NEAR(e.HalfWidth(0.95, 1.98), expected, 1e-12) << c.value;
    }
    Estimate one;
    one.Add(0.3);
    EXPECT_TRUE(std::isinf(one.HalfWidth(0.95, 1.0)));
}

TEST(ReplicationRunnerTest, BlocksDependOnTheCountAlone) {
    const std::pair<uint64_t, uint64_t> cases[] = {{0, 32},     {32, 32},       {255, 32},
                                                   {256, 32},   {257, 32},      {300, 64},
                                                   {1000, 128}, {100000, 12512}};
    for (const auto& c : cases)
        EXPECT_EQ(ReplicationRunner::BlockSize(c.first), c.second) << c.first;
}

SimOptions Parse(std::vector<std::string> words) {
    words.insert(words.begin(), "sim");
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    return SimOptions::Parse(static_cast<int>(argv.size()), argv.data());
}

TEST(SimOptionsTest, ReadsEveryOption) {
    const SimOptions o =
        Parse({"-Pout/", "-N", "run", "-B3", "-Od:x:2", "-S", "42", "-L0.99", "-r0.05", "-a0",
               "-n500", "-T2", "-g0:10:11", "-w5", "-b2.5", "-k4", "-cres.csv"});
    EXPECT_EQ(o.Base(), "out/run");
    EXPECT_EQ(o.experiment, 3);
    EXPECT_TRUE(o.overridden);
    EXPECT_EQ(o.overrides, "d:x:2");
    EXPECT_EQ(o.seed, 42u);
    EXPECT_EQ(o.level, 0.99);
    EXPECT_EQ(o.relative, 0.05);
    EXPECT_EQ(o.absolute, 0.0);
    EXPECT_EQ(o.maxReplications, 500u);
    EXPECT_EQ(o.threads, 2);
    EXPECT_TRUE(o.grid);
    EXPECT_EQ(o.gridPoints, 11);
    EXPECT_EQ(o.warmup, 5.0);
    EXPECT_EQ(o.batchLength, 2.5);
    EXPECT_EQ(o.batches, 4);
    EXPECT_EQ(o.csv, "res.csv");
    EXPECT_EQ(Parse({"-Nx"}).csv, "x.csv");
    EXPECT_TRUE(Parse({"-h"}).usage);
    // No target absolute by default: the relative one applies to every result.
    EXPECT_EQ(Parse({"-Nx"}).absolute, 0.0);
    EXPECT_EQ(Parse({"-Nx"}).relative, 0.01);
    const SimOptions s = Parse({"-Nx", "-I", "failed", "-l1,2.5,4", "-e250"});
    EXPECT_EQ(s.importance, "failed");
    EXPECT_EQ(s.levels, (std::vector<double>{1, 2.5, 4}));
    EXPECT_EQ(s.effort, 250u);
    EXPECT_TRUE(Parse({"-Nx", "-Ifailed"}).levels.empty());
}

TEST(SimOptionsTest, RefusesWhatItCannotUse) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-Nx", "-q1"}, "unknown option -q1"},
        {{"-Nx", "stray"}, "unexpected argument \"stray\""},
        {{"-Nx", "-B"}, "option -B needs a value"},
        {{"-Nx", "-Bthree"}, "experiment number (-B) is not a whole number"},
        {{"-Nx", "-L1"}, "confidence level (-L) must lie above 0 and below 1"},
        {{"-Nx", "-L0"}, "confidence level (-L) must lie above 0 and below 1"},
        {{"-Nx", "-r-1"}, "target (-r) must be at least 0"},
        {{"-Nx", "-n1"}, "maximum number of replications (-n) is not a whole number from 2"},
        {{"-Nx", "-T0"}, "number of threads (-T) is not a whole number from 1 to 64"},
        {{"-Nx", "-g5:1:10"}, "option -g needs <start>:<stop>:<points>"},
        {{"-Nx", "-g0:1:1"}, "option -g needs <start>:<stop>:<points>"},
        {{"-Nx", "-b0"}, "the batch length (-b) must be above 0"},
        {{"-Nx", "-w-1"}, "the warm-up time (-w) must be at least 0"},
        {{"-Nx", "-Snan"}, "seed (-S) is not a whole number"},
        {{"-B1"}, "missing experiment name (-N)"},
    };
    for (const auto& c : cases) {
        try {
            Parse(c.first);
            ADD_FAILURE() << "accepted: " << c.first.back();
        } catch (const gen::UserError& e) {
            EXPECT_NE(std::string(e.what()).find(c.second), std::string::npos)
                << e.what() << "\nexpected: " << c.second;
            // The entry point puts "Error: " before every message, once.
            EXPECT_NE(std::string(e.what()).rfind("Error: ", 0), 0u) << e.what();
        }
    }
}

} // namespace
