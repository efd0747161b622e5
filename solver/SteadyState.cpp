#include "solver/SteadyState.h"

#include <Eigen/IterativeLinearSolvers>
#include <Eigen/SparseCore>
#include <Eigen/SparseLU>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <limits>

namespace {

using RowMatrix = Eigen::SparseMatrix<double, Eigen::RowMajor, int>;
constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

// Sweeps before the Krylov method takes over in any case.
constexpr size_t kMaxSweeps = 1500;

double MaxExit(const std::vector<double>& exitRate, const std::vector<uint32_t>& states) {
    double m = 0.0;
    for (uint32_t j : states)
        m = std::max(m, exitRate[j]);
    return m;
}

void Normalise(std::vector<double>& pi, const std::vector<uint32_t>& states) {
    double sum = 0.0;
    for (uint32_t j : states)
        sum += pi[j];
    if (sum > 0.0)
        for (uint32_t j : states)
            pi[j] /= sum;
}

// The transposed generator on the component's states, with the balance equation of
// its first state replaced by pi_0 = 1: the balance equations are linearly
// dependent, and an irreducible component has pi_0 > 0.
RowMatrix Balance(const RateMatrix& in, const std::vector<double>& exitRate,
                  const std::vector<uint32_t>& states) {
    const size_t m = states.size();
    std::vector<uint32_t> local(exitRate.size(), kNone);
    for (size_t a = 0; a < m; a++)
        local[states[a]] = static_cast<uint32_t>(a);
    std::vector<int> outer(m + 1, 0);
    std::vector<int> inner;
    std::vector<double> value;
    size_t room = m;
    for (uint32_t j : states)
        room += in.rowStart[j + 1] - in.rowStart[j];
    inner.reserve(room);
    value.reserve(room);
    for (size_t a = 0; a < m; a++) {
        const uint32_t j = states[a];
        if (a == 0) {
            inner.push_back(0);
            value.push_back(1.0);
        } else {
            bool diagonal = false;
            for (uint64_t k = in.rowStart[j]; k < in.rowStart[j + 1]; k++) {
                const uint32_t i = local[in.column[k]];
                if (i == kNone)
                    continue; // a transient state: its probability is 0
                if (!diagonal && i > a) {
                    inner.push_back(static_cast<int>(a));
                    value.push_back(-exitRate[j]);
                    diagonal = true;
                }
                inner.push_back(static_cast<int>(i));
                value.push_back(in.rate[k]);
            }
            if (!diagonal) {
                inner.push_back(static_cast<int>(a));
                value.push_back(-exitRate[j]);
            }
        }
        outer[a + 1] = static_cast<int>(inner.size());
    }
    const Eigen::Map<const RowMatrix> map(static_cast<int>(m), static_cast<int>(m),
                                          static_cast<int>(inner.size()), outer.data(),
                                          inner.data(), value.data());
    return RowMatrix(map);
}

void Scatter(const Eigen::VectorXd& x, const std::vector<uint32_t>& states,
             std::vector<double>& pi) {
    for (size_t a = 0; a < states.size(); a++)
        pi[states[a]] = x[static_cast<Eigen::Index>(a)];
}

bool SolveDirect(const RateMatrix& in, const std::vector<double>& exitRate,
                 const std::vector<uint32_t>& states, std::vector<double>& pi) {
    const Eigen::SparseMatrix<double> a = Balance(in, exitRate, states);
    Eigen::SparseLU<Eigen::SparseMatrix<double>> lu;
    lu.analyzePattern(a);
    lu.factorize(a);
    if (lu.info() != Eigen::Success)
        return false;
    Eigen::VectorXd b = Eigen::VectorXd::Zero(static_cast<Eigen::Index>(states.size()));
    b[0] = 1.0;
    const Eigen::VectorXd x = lu.solve(b);
    if (lu.info() != Eigen::Success)
        return false;
    Scatter(x, states, pi);
    return true;
}

template <class Preconditioner, class Configure>
size_t Krylov(const RowMatrix& a, const std::vector<uint32_t>& states, double target,
              std::vector<double>& pi, Configure configure) {
    const Eigen::Index m = a.rows();
    Eigen::BiCGSTAB<RowMatrix, Preconditioner> solver;
    configure(solver.preconditioner());
    solver.compute(a);
    // The starting vector is what was there, scaled to the equation pi_0 = 1.
    Eigen::VectorXd guess(m);
    const double first = pi[states[0]];
    for (Eigen::Index k = 0; k < m; k++)
        guess[k] = first > 0.0 ? pi[states[static_cast<size_t>(k)]] / first : 1.0;
    Eigen::VectorXd b = Eigen::VectorXd::Zero(m);
    b[0] = 1.0;
    solver.setTolerance(target * 1e-2);
    solver.setMaxIterations(std::max<Eigen::Index>(1000, std::min<Eigen::Index>(4 * m, 20000)));
    const Eigen::VectorXd x = solver.solveWithGuess(b, guess);
    Scatter(x, states, pi);
    for (uint32_t j : states)
        pi[j] = std::max(pi[j], 0.0); // rounding around 0 only
    return static_cast<size_t>(solver.iterations());
}

size_t SolveKrylov(const RateMatrix& in, const std::vector<double>& exitRate,
                   const std::vector<uint32_t>& states, double target, std::vector<double>& pi) {
    const RowMatrix a = Balance(in, exitRate, states);
    if (states.size() > SteadyState::kIncompleteLULimit)
        return Krylov<Eigen::DiagonalPreconditioner<double>>(
            a, states, target, pi, [](Eigen::DiagonalPreconditioner<double>&) {});
    return Krylov<Eigen::IncompleteLUT<double>>(a, states, target, pi,
                                                [](Eigen::IncompleteLUT<double>& ilu) {
                                                    ilu.setDroptol(1e-4);
                                                    ilu.setFillfactor(4);
                                                });
}

struct Sweeps {
    size_t sweeps = 0;
    double omega = 1.0;
    double residual = 0.0;
    bool converged = false;
};

// One sweep of successive over-relaxation (Gauss-Seidel for omega = 1) in state
// order, which for a breadth-first numbering follows the flow of probability.
// Returns the residual of the balance equations as each was met before its update,
// relative like Residual(): a free measure of progress, though not the residual of
// any one vector.
double Sweep(const RateMatrix& in, const std::vector<double>& exitRate,
             const std::vector<uint32_t>& states, double omega, double maxExit,
             std::vector<double>& vec) {
    const uint64_t* start = in.rowStart.data();
    const uint32_t* col = in.column.data();
    const double* rate = in.rate.data();
    double* pi = vec.data();
    double flow = 0.0, mass = 0.0;
    for (uint32_t j : states) {
        double s = 0.0;
        for (uint64_t k = start[j]; k < start[j + 1]; k++)
            s += pi[col[k]] * rate[k];
        const double out = pi[j] * exitRate[j];
        flow += std::fabs(s - out);
        mass += pi[j];
        pi[j] = (1.0 - omega) * pi[j] + omega * s / exitRate[j];
    }
    return mass > 0.0 ? flow / (mass * maxExit) : 0.0;
}

// Sweeps until the residual is below the target. The relaxation factor is found
// by trying 1.0, 1.1, 1.2, ... for a few sweeps each while the rate of progress
// improves, then kept (and dropped back to 1 should the residual start growing).
// Gives up when the progress per sweep says the target is out of reach within
// the sweeps allowed, or when it stalls.
Sweeps SweepToTarget(const RateMatrix& in, const std::vector<double>& exitRate,
                     const std::vector<uint32_t>& states, double target, std::vector<double>& pi) {
    // The first sweeps fall faster than the rest will: the trials start after them.
    constexpr size_t kWarmUp = 12;
    constexpr size_t kSettle = 3, kMeasure = 5; // sweeps per trial of a factor
    constexpr size_t kWindow = 10;              // sweeps per progress check after that
    const double maxExit = MaxExit(exitRate, states);
    Sweeps r;
    std::vector<double> mixed(1, 0.0); // the mixed residual after each sweep
    bool trying = true;
    double bestRate = std::numeric_limits<double>::infinity(), bestOmega = 1.0;
    size_t trialStart = kWarmUp - kSettle, lastTrue = 0, flat = 0;
    for (size_t sweep = 1; sweep <= kMaxSweeps; sweep++) {
        const double d = Sweep(in, exitRate, states, r.omega, maxExit, pi);
        Normalise(pi, states);
        mixed.push_back(d);
        r.sweeps = sweep;
        if (d <= target && sweep >= lastTrue + 3) {
            lastTrue = sweep;
            r.residual = SteadyState::Residual(in, exitRate, states, pi);
            if (r.residual <= target) {
                r.converged = true;
                return r;
            }
        }
        if (trying) {
            if (sweep < trialStart + kSettle + kMeasure)
                continue;
            const double rate =
                std::pow(d / mixed[sweep - kMeasure], 1.0 / static_cast<double>(kMeasure));
            if (rate < bestRate && r.omega < 1.95) {
                bestRate = rate;
                bestOmega = r.omega;
                r.omega += 0.1;
            } else {
                if (rate < bestRate) {
                    bestRate = rate;
                    bestOmega = r.omega;
                }
                r.omega = bestOmega;
                trying = false;
            }
            trialStart = sweep;
            continue;
        }
        if (sweep - trialStart < kWindow)
            continue;
        const double rate =
            std::pow(d / mixed[sweep - kWindow], 1.0 / static_cast<double>(kWindow));
        trialStart = sweep;
        if (rate > 1.0 && r.omega != 1.0) {
            r.omega = 1.0; // over-relaxation that diverges
            continue;
        }
        flat = rate >= 0.999 ? flat + 1 : 0;
        if (flat >= 5)
            break;
        if (rate < 1.0 && d > target &&
            std::log(target / d) / std::log(rate) > static_cast<double>(kMaxSweeps - sweep))
            break;
    }
    r.residual = SteadyState::Residual(in, exitRate, states, pi);
    r.converged = r.residual <= target;
    return r;
}

} // namespace

double SteadyState::Residual(const RateMatrix& in, const std::vector<double>& exitRate,
                             const std::vector<uint32_t>& states, const std::vector<double>& pi) {
    double flow = 0.0, mass = 0.0;
    for (uint32_t j : states) {
        double s = 0.0;
        for (uint64_t k = in.rowStart[j]; k < in.rowStart[j + 1]; k++)
            s += pi[in.column[k]] * in.rate[k];
        flow += std::fabs(s - pi[j] * exitRate[j]);
        mass += std::fabs(pi[j]);
    }
    const double scale = mass * MaxExit(exitRate, states);
    return scale > 0.0 ? flow / scale : 0.0;
}

SteadyState::Result SteadyState::Solve(const RateMatrix& in, const std::vector<double>& exitRate,
                                       const std::vector<uint32_t>& states, double target,
                                       Method method) {
    Result r;
    r.pi.assign(exitRate.size(), 0.0);
    if (states.empty())
        return r;
    if (states.size() == 1) {
        r.pi[states[0]] = 1.0;
        r.method = "single state";
        r.converged = true;
        return r;
    }
    if (method == Automatic)
        method = states.size() <= kDirectLimit ? DirectLU : GaussSeidel;

    if (method == DirectLU) {
        r.method = "sparse LU";
        if (SolveDirect(in, exitRate, states, r.pi)) {
            for (uint32_t j : states)
                r.pi[j] = std::max(r.pi[j], 0.0);
            Normalise(r.pi, states);
            r.residual = Residual(in, exitRate, states, r.pi);
            r.converged = r.residual <= target;
            if (r.converged)
                return r;
        }
        // A factorisation that failed or came out inexact: iterate instead.
        method = GaussSeidel;
        std::fill(r.pi.begin(), r.pi.end(), 0.0);
    }

    if (method == GaussSeidel) {
        for (uint32_t j : states)
            r.pi[j] = 1.0 / static_cast<double>(states.size());
        const Sweeps sweeps = SweepToTarget(in, exitRate, states, target, r.pi);
        r.iterations = sweeps.sweeps;
        char omega[16];
        std::snprintf(omega, sizeof omega, "%.1f", sweeps.omega);
        r.method = std::string(sweeps.omega == 1.0 ? "Gauss-Seidel" : "SOR, omega ") +
                   (sweeps.omega == 1.0 ? "" : omega) + ", " + std::to_string(sweeps.sweeps) +
                   " sweeps";
        if (sweeps.converged) {
            r.residual = sweeps.residual;
            r.converged = true;
            return r;
        }
        r.method += ", then BiCGSTAB";
        r.iterations += SolveKrylov(in, exitRate, states, target, r.pi);
    } else {
        r.method = "BiCGSTAB";
        for (uint32_t j : states)
            r.pi[j] = 1.0 / static_cast<double>(states.size());
        r.iterations = SolveKrylov(in, exitRate, states, target, r.pi);
    }
    Normalise(r.pi, states);
    r.residual = Residual(in, exitRate, states, r.pi);
    r.converged = r.residual <= target;
    return r;
}
