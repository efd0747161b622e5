#include "distributions/Distributions.h"
#include "distributions/LaggedFibonacci.h"
#include "distributions/RandomNumberGenerator.h"
#include "distributions/Tausworthe.h"
#include "distributions/UserDistributions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <initializer_list>

namespace {

// Hands out a scripted list of uniforms and counts the draws.
class ScriptedGenerator : public RandomNumberGenerator {
  public:
    std::deque<double> script;
    int draws = 0;

    double rnd() override {
        draws++;
        if (script.empty()) {
            ADD_FAILURE() << "draw " << draws << " was not scripted";
            return 0.5;
        }
        double u = script.front();
        script.pop_front();
        return u;
    }
};

class DistributionsTest : public ::testing::Test {
  protected:
    Distributions dist;
    ScriptedGenerator* gen = nullptr;

    void SetUp() override {
        delete dist.generator;
        gen = new ScriptedGenerator();
        dist.generator = gen; // owned and deleted by dist
    }
    void Script(std::initializer_list<double> uniforms) {
        gen->script.assign(uniforms);
        gen->draws = 0;
    }
    // Every scripted uniform was drawn, and no more.
    void ExpectAllDrawn(int count) {
        EXPECT_EQ(gen->draws, count);
        EXPECT_TRUE(gen->script.empty()) << gen->script.size() << " uniforms left";
    }
};

TEST_F(DistributionsTest, DeterministicDrawsNothing) {
    Script({});
    EXPECT_EQ(dist.Deterministic(2.5), 2.5);
    ExpectAllDrawn(0);
}

TEST_F(DistributionsTest, OneUniformMethods) {
    const double e1 = std::exp(-1.0);
    struct Case {
        const char* name;
        double u;
        double (*sample)(Distributions&);
        double expected;
    } cases[] = {
        {"Exponential", 0.25, [](Distributions& d) { return d.Exponential(2); }, std::log(4.0) / 2},
        {"Geometric", 0.2, [](Distributions& d) { return d.Geometric(0.3); },
         4.0}, // ln 0.2 / ln 0.7 = 4.51
        {"Weibull", e1, [](Distributions& d) { return d.Weibull(2, 3); }, 3.0},
        {"ConditionalWeibull", e1, [](Distributions& d) { return d.ConditionalWeibull(2, 3, 3); },
         3 * std::sqrt(2.0) - 3}, // has already lasted one scale
        {"Uniform", 0.25, [](Distributions& d) { return d.Uniform(2, 6); }, 3.0},
        {"Pareto", 0.125, [](Distributions& d) { return d.Pareto(2, 3); }, 4.0},
        {"Triangular below the mode", 0.16, [](Distributions& d) { return d.Triangular(0, 4, 1); },
         0.8},
        {"Triangular above the mode", 0.64, [](Distributions& d) { return d.Triangular(0, 4, 1); },
         4 * (1 - std::sqrt(0.75 * 0.36))},
        {"Gamma of shape 1", 0.5, [](Distributions& d) { return d.Gamma(1, 3); },
         3 * std::log(2.0)},
    };
    for (const Case& c : cases) {
        Script({c.u});
        EXPECT_NEAR(c.sample(dist), c.expected, 1e-12) << c.name;
        ExpectAllDrawn(1);
    }
}

TEST_F(DistributionsTest, TriangularWithEqualBoundsDrawsNothing) {
    Script({});
    EXPECT_EQ(dist.Triangular(3, 3, 3), 3.0);
    ExpectAllDrawn(0);
}

TEST_F(DistributionsTest, GammaOfShapeOneIsExponentialOfRateOneOverScale) {
    for (double u : {0.3, 0.001, 0.9999}) {
        for (double scale : {0.5, 2.0, 7.0}) {
            Script({u, u});
            double gamma = dist.Gamma(1, scale);
            double exponential = dist.Exponential(1 / scale);
            EXPECT_DOUBLE_EQ(gamma, exponential) << "u " << u << " scale " << scale;
            ExpectAllDrawn(2);
        }
    }
}

TEST_F(DistributionsTest, ErlangDrawsOneUniformPerWholePhase) {
    Script({0.5, 0.4});
    EXPECT_NEAR(dist.Erlang(2.5, 10), -(10 / 2.5) * std::log(0.2), 1e-12);
    ExpectAllDrawn(2);
    Script({0.5, 0.5, 0.5});
    EXPECT_NEAR(dist.Erlang(3, 6), -2 * std::log(0.125), 1e-12);
    ExpectAllDrawn(3);
}

// Polar method: a pair outside the unit disc and a negative result are both drawn
// again.
TEST_F(DistributionsTest, NormalRejectsOutsideTheDiscAndBelowZero) {
    const double s = 0.25; // x1 = +-0.5, x2 = 0
    const double f = std::sqrt(-2 * std::log(s) / s);
    Script({0.99, 0.99, 0.25, 0.5, 0.75, 0.5});
    EXPECT_NEAR(dist.Normal(0, 4), 2 * 0.5 * f, 1e-12);
    ExpectAllDrawn(6);

    Script({0.25, 0.5});
    EXPECT_NEAR(dist.Normal(10, 4), 10 - 2 * 0.5 * f, 1e-12) << "a positive result is kept";
    ExpectAllDrawn(2);
}

TEST_F(DistributionsTest, LognormalKeepsANegativeUnderlyingNormal) {
    const double f = std::sqrt(-2 * std::log(0.25) / 0.25);
    Script({0.99, 0.99, 0.25, 0.5});
    EXPECT_NEAR(dist.Lognormal(1, 4), std::exp(1 - 2 * 0.5 * f), 1e-12);
    ExpectAllDrawn(4);
}

TEST(DistributionsRealGeneratorTest, NormalWithMeanZeroIsNeverNegative) {
    UserDistributions dist(0, 31415);
    for (int i = 0; i < 20000; i++)
        ASSERT_GE(dist.Normal(0, 9), 0.0) << "sample " << i;
}

// Cheng's algorithm for shapes above 1. With u1 = 1/2 the candidate is the shape
// itself: w = 0, y = alpha.
TEST_F(DistributionsTest, GammaAboveShapeOne) {
    // Rejected pair (u1 near 1 makes y huge), then the quick acceptance.
    Script({0.999999, 0.9, 0.5, 0.5});
    EXPECT_DOUBLE_EQ(dist.Gamma(2, 3), 6.0);
    ExpectAllDrawn(4);
    // The quick test fails for u2 = 0.995 (1.1178 < 1.1194); the log test accepts.
    Script({0.5, 0.995});
    EXPECT_DOUBLE_EQ(dist.Gamma(2, 3), 6.0);
    ExpectAllDrawn(2);
}

// Ahrens and Dieter's algorithm for shapes below 1.
TEST_F(DistributionsTest, GammaBelowShapeOne) {
    const double alpha = 0.5;
    const double b = (alpha + std::exp(1.0)) / std::exp(1.0);
    // p <= 1, accepted.
    Script({0.5, 0.1});
    EXPECT_NEAR(dist.Gamma(alpha, 2), 2 * std::pow(b * 0.5, 2), 1e-12);
    ExpectAllDrawn(2);
    // p <= 1 rejected (0.99 > e^-x), then p > 1 accepted.
    Script({0.5, 0.99, 0.95, 0.1});
    EXPECT_NEAR(dist.Gamma(alpha, 2), -2 * std::log((b - b * 0.95) / alpha), 1e-12);
    ExpectAllDrawn(4);
}

TEST_F(DistributionsTest, GammaOfNotANumberShapeIsNotANumber) {
    Script({});
    EXPECT_TRUE(std::isnan(dist.Gamma(std::nan(""), 1)));
}

TEST_F(DistributionsTest, BetaDrawsXBeforeY) {
    Script({0.5, 0.25}); // X = ln 2, Y = 2 ln 2
    EXPECT_NEAR(dist.Beta(1, 1), 1.0 / 3, 1e-12);
    ExpectAllDrawn(2);
}

TEST_F(DistributionsTest, BinomialCountsUniformsUpToP) {
    Script({});
    EXPECT_EQ(dist.Binomial(0, 0.5), 0.0);
    ExpectAllDrawn(0);
    Script({0.5, 0.7, 0.1, 0.50001});
    EXPECT_EQ(dist.Binomial(4, 0.5), 2.0);
    ExpectAllDrawn(4);
    Script({0.1, 0.1, 0.1});
    EXPECT_EQ(dist.Binomial(2.5, 0.5), 3.0) << "trials 0, 1 and 2";
    ExpectAllDrawn(3);
}

TEST_F(DistributionsTest, NegativeBinomialSumsGeometrics) {
    Script({0.2, 0.1}); // floor(2.32) + floor(3.32)
    EXPECT_EQ(dist.NegativeBinomial(2, 0.5), 5.0);
    ExpectAllDrawn(2);
    Script({});
    EXPECT_EQ(dist.NegativeBinomial(0, 0.5), 0.0);
    ExpectAllDrawn(0);
}

TEST_F(DistributionsTest, HyperExponentialChoosesTheBranchByWeight) {
    // (rate, weight) pairs; cumulated shares 1/4, 3/4, 1.
    double pairs[] = {1, 1, 2, 2, 4, 1};
    struct Case {
        double u1, rate;
    } cases[] = {{0.0, 1}, {0.2, 1}, {0.25, 2}, {0.7, 2}, {0.75, 4}, {0.99, 4}, {1.0, 4}};
    for (const Case& c : cases) {
        Script({c.u1, 0.5});
        EXPECT_NEAR(dist.HyperExponential(3, pairs), std::log(2.0) / c.rate, 1e-12)
            << "u1 " << c.u1;
        ExpectAllDrawn(2);
    }
}

TEST_F(DistributionsTest, HypoExponentialSumsPhases) {
    Script({});
    EXPECT_EQ(dist.HypoExponential(0, nullptr), 0.0);
    ExpectAllDrawn(0);
    double rates[] = {1, 2};
    Script({0.5, 0.25});
    EXPECT_NEAR(dist.HypoExponential(2, rates), 2 * std::log(2.0), 1e-12);
    ExpectAllDrawn(2);
}

TEST(UserDistributionsTest, KindChoosesTheGenerator) {
    UserDistributions tausworthe(1, 7);
    Tausworthe* t = dynamic_cast<Tausworthe*>(tausworthe.generator);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->state, 7u);

    for (int kind : {0, 2, 5, -1}) {
        UserDistributions lagged(kind, 7);
        LaggedFibonacci* l = dynamic_cast<LaggedFibonacci*>(lagged.generator);
        ASSERT_NE(l, nullptr) << "kind " << kind;
        LaggedFibonacci reference;
        reference.srnd(7);
        for (int i = 0; i < 100; i++)
            ASSERT_EQ(l->buffer[i], reference.buffer[i]) << "kind " << kind << " index " << i;
    }
}

TEST(UserDistributionsTest, SamplesGoThroughTheChosenGenerator) {
    UserDistributions dist(1, 1);
    EXPECT_EQ(dist.Uniform(0, 1), 8193 * 4.656612875245797e-10);
}

TEST(UserDistributionsTest, DefaultConstructionUsesLaggedFibonacci) {
    Distributions base;
    EXPECT_NE(dynamic_cast<LaggedFibonacci*>(base.generator), nullptr);
    UserDistributions user;
    EXPECT_NE(dynamic_cast<LaggedFibonacci*>(user.generator), nullptr);
}

TEST(UserDistributionsTest, ProcessWideGeneratorIsSeededWith31415) {
    EXPECT_EQ(TheDistribution, &TheGenerator);
    LaggedFibonacci* l = dynamic_cast<LaggedFibonacci*>(TheGenerator.generator);
    ASSERT_NE(l, nullptr);
    LaggedFibonacci reference;
    reference.srnd(31415);
    for (int i = 0; i < 100; i++)
        ASSERT_EQ(l->buffer[i], reference.buffer[i]) << i;
}

} // namespace
