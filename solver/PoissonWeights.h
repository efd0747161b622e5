// The Poisson probabilities p_k = e^-lambda lambda^k / k! that uniformisation
// weighs the powers of its matrix with, between a left and a right truncation
// point chosen so that the mass left out on both sides together is at most the
// bound asked for (after Fox and Glynn).
//
// The weights are computed relative to the one at the mode, which is set to 1, by
// the recurrences p_{k-1} = p_k k / lambda and p_{k+1} = p_k lambda / (k + 1), and
// normalised by their sum at the end. Nothing is computed as e^-lambda, which
// underflows for lambda above about 745; the relative weights never overflow, and
// the truncation stops long before they underflow. The tails left out are bounded
// with the ratios of neighbouring weights:
//   right of k > lambda - 2:  sum_{j>k} p_j <= p_{k+1} / (1 - lambda / (k + 2))
//   left of k <= lambda:      sum_{j<k} p_j <= p_{k-1} / (1 - (k - 1) / lambda)
#pragma once

#include <cstddef>
#include <vector>

class PoissonWeights {
  public:
    // lambda >= 0 and finite; 0 < epsilon < 1.
    PoissonWeights(double lambda, double epsilon);

    size_t Left() const { return left_; }
    size_t Right() const { return right_; }
    // p_k for Left() <= k <= Right(), normalised to sum to 1 over that window.
    double Weight(size_t k) const { return weights_[k - left_]; }
    // A bound on the Poisson mass outside the window (at most epsilon).
    double Truncated() const { return leftBound_ + rightBound_; }
    double RightTail() const { return rightBound_; }
    double Lambda() const { return lambda_; }

  private:
    double lambda_;
    size_t left_ = 0;
    size_t right_ = 0;
    std::vector<double> weights_;
    double leftBound_ = 0.0;
    double rightBound_ = 0.0;
};
