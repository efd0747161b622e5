// Where a reducible chain ends up: the probability that it enters each of its bottom
// strongly connected components, starting from the initial state (state 0). An
// absorbing state is a component of one state.
//
// The chain spends an expected time z_i in each transient state i before it leaves
// them for good; z solves
//     z_j exit_j - sum over transient i of z_i q_ij = [j is the initial state]
// for every transient j (one linear system, whatever the number of components, and
// its rows are those of the incoming matrix), and the chain enters component c with
// probability sum over transient i and j in c of z_i q_ij. Up to kDirectLimit
// transient states the system is factorised (sparse LU); above, BiCGSTAB with an
// incomplete-LU preconditioner runs until the relative residual
//     ||z A - e_0||_1 / (||z||_1 max exit)
// meets the target.
#pragma once

#include "solver/RateMatrix.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Absorption {
  public:
    struct Result {
        std::vector<double> probability; // per bottom component, in the order given
        // The expected time spent in each transient state, in the order given (empty
        // when the chain starts in a bottom component).
        std::vector<double> time;
        double residual = 0.0;
        bool converged = false;
        std::string method; // what solved the system, for the report
    };

    static constexpr size_t kDirectLimit = 50000;

    // `incoming`: rows are destinations; `transient`: the reachable states in no
    // bottom component, ascending (the initial state among them unless it is in a
    // bottom component itself); `bottoms`: the states of each bottom component.
    static Result Solve(const RateMatrix& incoming, const std::vector<double>& exitRate,
                        const std::vector<uint32_t>& transient,
                        const std::vector<std::vector<uint32_t>>& bottoms, double target);
};
