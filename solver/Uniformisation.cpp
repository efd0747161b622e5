#include "solver/Uniformisation.h"

#include "solver/PoissonWeights.h"

#include <algorithm>
#include <cstddef>

Uniformisation::Uniformisation(const RateMatrix& incoming, const std::vector<double>& exitRate)
    : in_(incoming) {
    for (double e : exitRate)
        q_ = std::max(q_, e);
    stay_.resize(exitRate.size());
    for (size_t j = 0; j < exitRate.size(); j++)
        stay_[j] = q_ > 0.0 ? 1.0 - exitRate[j] / q_ : 1.0;
}

void Uniformisation::Multiply(const std::vector<double>& v, std::vector<double>& next) const {
    const double inv = 1.0 / q_;
    const size_t n = v.size();
    const uint64_t* start = in_.rowStart.data();
    const uint32_t* col = in_.column.data();
    in_.WithRates([&](auto rate) {
        for (size_t j = 0; j < n; j++) {
            double s = 0.0;
            for (uint64_t k = start[j]; k < start[j + 1]; k++)
                s += v[col[k]] * rate[k];
            next[j] = v[j] * stay_[j] + s * inv;
        }
    });
}

Uniformisation::Bounds Uniformisation::Advance(std::vector<double>& pi, double dt, double epsilon,
                                               std::vector<double>* integral) {
    Bounds b;
    const size_t n = pi.size();
    if (integral != nullptr)
        integral->assign(n, 0.0);
    if (dt <= 0.0)
        return b;
    if (q_ <= 0.0) {
        // Nothing moves.
        if (integral != nullptr)
            for (size_t j = 0; j < n; j++)
                (*integral)[j] = pi[j] * dt;
        return b;
    }
    const double lambda = q_ * dt;
    const PoissonWeights w(lambda, epsilon);
    const size_t left = w.Left(), right = w.Right();

    // P[N > k] for k = 0..right from the window's weights, summed from the right.
    std::vector<double> tail;
    if (integral != nullptr) {
        tail.assign(right + 1, 0.0);
        double s = 0.0;
        for (size_t k = right; k-- > 0;) {
            if (k + 1 >= left)
                s += w.Weight(k + 1);
            tail[k] = s;
        }
        // Left of the window the whole window's mass lies beyond k.
        for (size_t k = 0; k + 1 < left && k <= right; k++)
            tail[k] = 1.0;
    }

    v_ = pi;
    next_.resize(n);
    std::vector<double>& result = pi;
    std::fill(result.begin(), result.end(), 0.0);
    const double inv = 1.0 / q_;
    for (size_t k = 0; k <= right; k++) {
        if (k >= left) {
            const double p = w.Weight(k);
            for (size_t j = 0; j < n; j++)
                result[j] += p * v_[j];
        }
        if (integral != nullptr && tail[k] > 0.0) {
            const double c = tail[k] * inv;
            std::vector<double>& acc = *integral;
            for (size_t j = 0; j < n; j++)
                acc[j] += c * v_[j];
        }
        if (k < right) {
            Multiply(v_, next_);
            v_.swap(next_);
            b.products++;
        }
    }
    // The normalised weights misplace at most the mass the window leaves out, and
    // that mass is missing too.
    b.distribution = 2.0 * w.Truncated();
    if (integral != nullptr) {
        // Each P[N > k] is off by at most twice the truncated mass; the terms past
        // the window add at most P[N > right] times a geometric series of ratio
        // lambda / (right + 2).
        const double ratio = lambda / static_cast<double>(right + 2);
        const double beyond = ratio < 1.0 ? w.RightTail() * ratio / (1.0 - ratio) : 0.0;
        b.integral = (2.0 * w.Truncated() * static_cast<double>(right + 1) + beyond) * inv;
    }
    return b;
}
