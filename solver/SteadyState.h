// The long-run distribution pi of a chain restricted to its one bottom component:
// pi Q = 0 on the component's states, sum pi = 1, and pi = 0 elsewhere.
//
// Small components are solved directly (sparse LU, up to kDirectLimit states); large ones by
// Gauss-Seidel sweeps over the transposed generator, over-relaxed when that proves faster, which
// gather into each state what flows in and need little more memory than the matrix itself (a few
// copies of the vector). When the sweeps stall, or would need too many to reach the target,
// BiCGSTAB takes over from where they stopped, preconditioned by an incomplete LU factorisation (by
// the diagonal alone above kIncompleteLULimit states, where the factorisation itself costs too
// much).
//
// No state's probability is taken as a fixed 1: where the balance equations need one
// equation replaced to have a unique solution, the state pinned is the one of largest
// probability found so far (by a few sweeps before a factorisation, by the sweeps
// that stalled before BiCGSTAB), so that no other is scaled out of the range of a
// double; the sweeps themselves scale the vector back to a sum of 1 now and then.
// BiCGSTAB runs until the relative residual below, recomputed from the normalised
// vector, meets the target, and not merely until its own estimate for the pinned
// system does.
//
// The quality reported is the relative residual
//     ||pi Q||_1 / (||pi||_1 max_i |q_ii|)
// over the component's states: the flow out of balance, measured against the
// fastest rate of the chain, so that it does not depend on the time unit.
#pragma once

#include "solver/RateMatrix.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class SteadyState {
  public:
    enum Method { Automatic, DirectLU, GaussSeidel, Krylov };

    struct Result {
        std::vector<double> pi; // per state of the whole chain
        double residual = 0.0;
        bool converged = false;
        std::string method; // what produced pi, for the report
        size_t iterations = 0;
    };

    // Components up to this size are solved directly under Automatic.
    // Beyond it the factors of the models seen fill in to nearly dense.
    static constexpr size_t kDirectLimit = 2000;

    static constexpr size_t kIncompleteLULimit = 200000;

    // `incoming`: rows are destinations; `states`: the bottom component, ascending,
    // each with a positive exit rate.
    static Result Solve(const RateMatrix& incoming, const std::vector<double>& exitRate,
                        const std::vector<uint32_t>& states, double target, Method method);

    // The relative residual of pi (see above).
    static double Residual(const RateMatrix& incoming, const std::vector<double>& exitRate,
                           const std::vector<uint32_t>& states, const std::vector<double>& pi);
};
