// Advances a probability distribution of a chain through time by uniformisation:
// with q at least every state's exit rate, P = I + Q / q is stochastic and
//   pi(t)                 = sum_k Poisson(k; q t) pi P^k
//   integral_0^t pi(s) ds = (1 / q) sum_k P[N(q t) > k] pi P^k
// both sums truncated by the Poisson weights' bound. Each step reports how much
// probability mass (in the 1-norm) its truncation may have lost or misplaced, so
// that a caller stepping through several time points can add the bounds up.
#pragma once

#include "solver/RateMatrix.h"

#include <vector>

class Uniformisation {
  public:
    // `incoming`: rows are destinations (the transposed state-space matrix).
    Uniformisation(const RateMatrix& incoming, const std::vector<double>& exitRate);

    struct Bounds {
        double distribution = 0.0; // 1-norm error of the new distribution
        double integral = 0.0;     // 1-norm error of the integral over the step
        size_t products = 0;       // matrix-vector products done
    };

    // pi becomes pi(dt) starting from pi; when `integral` is given it becomes the
    // integral of pi(s) over [0, dt]. `epsilon` bounds the Poisson mass left out.
    Bounds Advance(std::vector<double>& pi, double dt, double epsilon,
                   std::vector<double>* integral);

    double Rate() const { return q_; }

  private:
    // next = v P
    void Multiply(const std::vector<double>& v, std::vector<double>& next) const;

    const RateMatrix& in_;
    std::vector<double> stay_; // 1 - exit / q
    double q_ = 0.0;
    std::vector<double> v_, next_;
};
