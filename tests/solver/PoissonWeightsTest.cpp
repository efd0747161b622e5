// The truncated Poisson weights against the probabilities computed independently
// in logarithms, from tiny to very large means, where e^-lambda itself underflows.
#include "solver/PoissonWeights.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double LogPoisson(double lambda, size_t k) {
    const double kd = static_cast<double>(k);
    return kd * std::log(lambda) - lambda - std::lgamma(kd + 1.0);
}

TEST(PoissonWeightsTest, WeightsAndTruncationMatchThePoissonDistribution) {
    for (double lambda : {1e-6, 0.3, 1.0, 7.5, 100.0, 744.0, 800.0, 12345.6, 1e6, 2.5e7}) {
        for (double epsilon : {1e-4, 1e-10, 1e-14}) {
            SCOPED_TRACE(::testing::Message() << "lambda " << lambda << " epsilon " << epsilon);
            const PoissonWeights w(lambda, epsilon);
            ASSERT_LE(w.Left(), w.Right());
            EXPECT_LE(static_cast<double>(w.Left()), lambda);
            EXPECT_GE(static_cast<double>(w.Right()) + 1.0, lambda);
            EXPECT_LE(w.Truncated(), epsilon);
            // The window's true mass, summed in logarithms; what lies outside it is
            // within the bound the weights claim.
            double inside = 0.0, sum = 0.0, worst = 0.0;
            for (size_t k = w.Left(); k <= w.Right(); k++) {
                const double p = std::exp(LogPoisson(lambda, k));
                inside += p;
                sum += w.Weight(k);
                ASSERT_GE(w.Weight(k), 0.0);
                if (p > 1e-200)
                    worst = std::max(worst, std::fabs(w.Weight(k) - p) / p);
            }
            // lgamma and k log(lambda) are only as exact as their large magnitude allows.
            const double slack = 1e-12 + 1e-15 * lambda * std::log(lambda + 2.0);
            EXPECT_NEAR(1.0, sum, 1e-12);
            EXPECT_LE(1.0 - inside, w.Truncated() + slack);
            // Normalised over the window, each weight is p_k / inside.
            EXPECT_LE(worst, (1.0 - inside) / inside + 1e-10 + 10 * slack);
            // The window is not needlessly wide: some 8 standard deviations either
            // side for the smallest bound.
            EXPECT_LE(static_cast<double>(w.Right() - w.Left()), 20.0 * std::sqrt(lambda) + 60.0);
        }
    }
}

TEST(PoissonWeightsTest, ZeroMeanIsAllAtZero) {
    const PoissonWeights w(0.0, 1e-10);
    EXPECT_EQ(0u, w.Left());
    EXPECT_EQ(0u, w.Right());
    EXPECT_EQ(1.0, w.Weight(0));
    EXPECT_EQ(0.0, w.Truncated());
}

} // namespace
