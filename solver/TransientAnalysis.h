// Every transient measure of a run in one pass of uniformisation from the initial
// state: the time points of all requests are sorted and the distribution is
// carried from each to the next, so that no stretch of time is computed twice.
// Instant requests read the distribution at their time; interval requests add up
// the integrals of the steps between their two ends.
//
// The error bounds add up what every step's truncation may have lost (in the
// 1-norm of the distribution) and scale it by the largest |reward|: the error of
// E[r] is at most that. Rounding is not included.
#pragma once

#include "solver/Uniformisation.h"

#include <cstddef>
#include <vector>

class TransientAnalysis {
  public:
    struct Request {
        const std::vector<double>* reward = nullptr;
        bool interval = false;
        double start = 0.0; // the time point of an instant request
        double stop = 0.0;
        double value = 0.0; // results
        double bound = 0.0;
    };

    struct Summary {
        size_t steps = 0;
        size_t products = 0;
    };

    // `epsilon` bounds the probability mass the whole pass may lose.
    static Summary Run(Uniformisation& u, size_t states, double epsilon,
                       std::vector<Request>& requests);
};
