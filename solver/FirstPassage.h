// The measures of a condition C on the states (the states where it holds), from
// the initial state (state 0), with C made absorbing: the chain is stopped the
// first time it enters C, at time T.
//
// Whether T is finite with probability 1 is decided from the structure alone, not
// from a computed probability: it is, exactly when every state reachable from state
// 0 without passing through C can reach C. Otherwise the chain can settle where C
// never holds, and the expected reward until T is infinite (for a positive reward;
// solve reports it so whatever the reward, since no finite expectation exists for a
// reward that can grow without end).
//
// The expected reward until T and the probability of reaching C are read off one
// linear system, that of Absorption: the expected time z_i spent in each transient
// state i (reachable from 0 without C, and able to reach C) before T. Then
//     E[reward until T] = sum_i z_i r_i        (r: rate reward plus impulse rate)
//     P(T < infinity)   = sum over transient i and j in C of z_i q_ij
// A state that can no longer reach C is left out of the system: the probability
// that flows into it is lost, which is its contribution to P(T = infinity).
//
// P(T <= t) is the probability mass in C at t in the chain with C absorbing: the
// caller runs the transient analysis on Absorbing()'s matrix.
#pragma once

#include "solver/RateMatrix.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FirstPassage {
  public:
    struct Result {
        // Whether C is reached with probability 1.
        bool certain = false;
        double value = 0.0;
        double residual = 0.0;
        bool converged = true;
        std::string method; // what solved the system, for the report
        // When not certain: a state (0-based) reachable from state 0 without C from
        // which C cannot be reached.
        uint32_t escape = 0;
    };

    // `outgoing`: rows are sources; `incoming`: its transpose; `condition`: per state,
    // non-zero where C holds (empty: nowhere). The expected value of `reward` (per
    // unit of time, per state) accumulated until T; `value` is meaningful only when
    // `certain`.
    static Result Until(const RateMatrix& outgoing, const RateMatrix& incoming,
                        const std::vector<double>& exitRate,
                        const std::vector<unsigned char>& condition,
                        const std::vector<double>& reward, double target);
    // P(T < infinity).
    static Result Reach(const RateMatrix& outgoing, const RateMatrix& incoming,
                        const std::vector<double>& exitRate,
                        const std::vector<unsigned char>& condition, double target);
    // The chain with the states of C absorbing: their transitions out removed from
    // `incoming` (rows are destinations) and their exit rates 0.
    static void Absorbing(const RateMatrix& incoming, const std::vector<double>& exitRate,
                          const std::vector<unsigned char>& condition, RateMatrix& absorbingIn,
                          std::vector<double>& absorbingExit);
};
