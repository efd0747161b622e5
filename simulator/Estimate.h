// The running mean and variance of one result's observations (Welford's update, in
// the order the observations are added), and its confidence interval.
#pragma once

#include <cstdint>

class Estimate {
  public:
    void Add(double x);

    uint64_t Count() const { return n_; }
    // The sum over the count: exact for counts of events, unlike the running mean.
    double Mean() const { return n_ > 0 ? sum_ / static_cast<double>(n_) : 0.0; }
    // The sample variance (n - 1 in the denominator); 0 below two observations.
    double Variance() const { return n_ > 1 ? m2_ / static_cast<double>(n_ - 1) : 0.0; }
    // True when every observation lies in [0, 1], as those of a probability do.
    bool WithinUnit() const { return min_ >= 0.0 && max_ <= 1.0; }
    bool Constant() const { return min_ == max_; }
    bool NonNegative() const { return n_ > 0 && min_ >= 0.0; }
    // Observations other than 0: the replications that saw the event, for a result
    // that is the probability of one.
    uint64_t NonZero() const { return nonZero_; }

    // The half-width at `level` given the t factor of Count() - 1 degrees of
    // freedom. Observations that are all 0 or all 1, of a result within [0, 1],
    // would give a half-width of 0 from any count; they get the exact one-sided
    // binomial bound -ln(1 - level) / n instead (the "rule of three" at 95%), so
    // that a rare event not yet seen does not pass for a precise 0.
    double HalfWidth(double level, double tFactor) const;

  private:
    uint64_t n_ = 0;
    uint64_t nonZero_ = 0;
    double sum_ = 0.0;
    double mean_ = 0.0;
    double m2_ = 0.0;
    double min_ = 0.0;
    double max_ = 0.0;
};
