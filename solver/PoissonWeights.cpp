#include "solver/PoissonWeights.h"

#include <algorithm>
#include <cmath>
#include <deque>

PoissonWeights::PoissonWeights(double lambda, double epsilon) : lambda_(lambda) {
    if (lambda <= 0.0) {
        weights_.assign(1, 1.0);
        return;
    }
    const size_t mode = static_cast<size_t>(std::floor(lambda));
    // The left side first, its weights in a deque growing to the front; the sum of
    // the weights found so far stands in for the whole sum in the tail tests, which
    // only makes them stricter.
    std::deque<double> w;
    w.push_back(1.0);
    double sum = 1.0;
    const double half = epsilon / 2.0;
    size_t k = mode; // the current left end
    while (k > 0) {
        const double below = w.front() * static_cast<double>(k) / lambda; // p_{k-1}
        const double ratio = static_cast<double>(k - 1) / lambda;
        if (ratio < 1.0) {
            const double tail = below / (1.0 - ratio);
            if (tail <= half * sum) {
                leftBound_ = tail / sum;
                break;
            }
        }
        w.push_front(below);
        sum += below;
        k--;
    }
    left_ = k;
    size_t r = mode;
    double last = 1.0;
    for (;;) {
        const double above = last * lambda / static_cast<double>(r + 1); // p_{r+1}
        const double ratio = lambda / static_cast<double>(r + 2);
        if (ratio < 1.0) {
            const double tail = above / (1.0 - ratio);
            if (tail <= half * sum) {
                rightBound_ = tail / sum;
                break;
            }
        }
        w.push_back(above);
        sum += above;
        last = above;
        r++;
    }
    right_ = r;
    weights_.assign(w.begin(), w.end());
    // Summing from the small ends inwards loses the least to rounding.
    double total = 0.0;
    size_t lo = 0, hi = weights_.size();
    while (lo < hi) {
        if (weights_[lo] <= weights_[hi - 1])
            total += weights_[lo++];
        else
            total += weights_[--hi];
    }
    for (double& x : weights_)
        x /= total;
    leftBound_ = std::min(leftBound_, 1.0);
    rightBound_ = std::min(rightBound_, 1.0);
}
