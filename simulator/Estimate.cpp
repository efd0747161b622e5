#include "simulator/Estimate.h"

#include <cmath>

void Estimate::Add(double x) {
    if (n_ == 0) {
        min_ = max_ = x;
    } else {
        if (x < min_)
            min_ = x;
        if (x > max_)
            max_ = x;
    }
    n_++;
    if (x != 0.0)
        nonZero_++;
    sum_ += x;
    const double delta = x - mean_;
    mean_ += delta / static_cast<double>(n_);
    m2_ += delta * (x - mean_);
}

double Estimate::HalfWidth(double level, double tFactor) const {
    if (n_ < 2)
        return INFINITY;
    const double n = static_cast<double>(n_);
    if (Constant() && (min_ == 0.0 || min_ == 1.0))
        return -std::log1p(-level) / n;
    return tFactor * std::sqrt(Variance() / n);
}
