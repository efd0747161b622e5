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

// The local index of the state of largest value in pi, the first of equal ones.
size_t Largest(const std::vector<double>& pi, const std::vector<uint32_t>& states) {
    size_t best = 0;
    for (size_t a = 1; a < states.size(); a++)
        if (pi[states[a]] > pi[states[best]])
            best = a;
    return best;
}

// The transposed generator on the component's states, with the balance equation of
// the state `pinned` (a local index) replaced by pi_pinned = 1: the balance equations
// are linearly dependent, and an irreducible component has pi > 0 everywhere. The
// solution is pi scaled by 1 / pi_pinned, so the state pinned must be one of large
// probability: a state whose probability is far below the largest (an empty queue
// that is nearly always full: 1e-690 of it) would scale the others past the range
// of a double.
RowMatrix Balance(const RateMatrix& in, const std::vector<double>& exitRate,
                  const std::vector<uint32_t>& states, size_t pinned) {
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
        if (a == pinned) {
            inner.push_back(static_cast<int>(a));
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
                value.push_back(in.Rate(k));
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
// any one vector. `mass` becomes the sum of the new values.
template <class Rates>
double Sweep(const RateMatrix& in, Rates rate, const std::vector<double>& exitRate,
             const std::vector<uint32_t>& states, double omega, double maxExit,
             std::vector<double>& vec, double& mass) {
    const uint64_t* start = in.rowStart.data();
    const uint32_t* col = in.column.data();
    double* pi = vec.data();
    double flow = 0.0, before = 0.0, after = 0.0;
    for (uint32_t j : states) {
        // Two sums of every other entry halve the chain of dependent additions that
        // holds up a row.
        double s0 = 0.0, s1 = 0.0;
        uint64_t k = start[j];
        const uint64_t end = start[j + 1];
        for (; k + 1 < end; k += 2) {
            s0 += pi[col[k]] * rate[k];
            s1 += pi[col[k + 1]] * rate[k + 1];
        }
        if (k < end)
            s0 += pi[col[k]] * rate[k];
        const double s = s0 + s1;
        const double old = pi[j];
        flow += std::fabs(s - old * exitRate[j]);
        before += old;
        const double next = (1.0 - omega) * old + omega * s / exitRate[j];
        pi[j] = next;
        after += next;
    }
    mass = after;
    return before > 0.0 ? flow / (before * maxExit) : std::numeric_limits<double>::infinity();
}

// A few Gauss-Seidel sweeps from pi (scaled back to a sum of 1 after each), enough to
// tell the states of large probability from the rest.
void Estimate(const RateMatrix& in, const std::vector<double>& exitRate,
              const std::vector<uint32_t>& states, size_t sweeps, std::vector<double>& pi) {
    const double maxExit = MaxExit(exitRate, states);
    for (size_t k = 0; k < sweeps; k++) {
        double mass = 0.0;
        in.WithRates(
            [&](auto rates) { return Sweep(in, rates, exitRate, states, 1.0, maxExit, pi, mass); });
        if (!(mass > 0.0) || !std::isfinite(mass))
            return;
        for (uint32_t j : states)
            pi[j] /= mass;
    }
}

bool AllFinite(const Eigen::VectorXd& x) {
    for (Eigen::Index k = 0; k < x.size(); k++)
        if (!std::isfinite(x[k]))
            return false;
    return true;
}

// pi from the balance equations pinned at the state of largest probability that a
// few sweeps from the uniform vector find.
bool SolveDirect(const RateMatrix& in, const std::vector<double>& exitRate,
                 const std::vector<uint32_t>& states, std::vector<double>& pi) {
    for (uint32_t j : states)
        pi[j] = 1.0 / static_cast<double>(states.size());
    Estimate(in, exitRate, states, 20, pi);
    const size_t pinned = Largest(pi, states);
    const Eigen::SparseMatrix<double> a = Balance(in, exitRate, states, pinned);
    Eigen::SparseLU<Eigen::SparseMatrix<double>> lu;
    lu.analyzePattern(a);
    lu.factorize(a);
    if (lu.info() != Eigen::Success)
        return false;
    Eigen::VectorXd b = Eigen::VectorXd::Zero(static_cast<Eigen::Index>(states.size()));
    b[static_cast<Eigen::Index>(pinned)] = 1.0;
    const Eigen::VectorXd x = lu.solve(b);
    if (lu.info() != Eigen::Success || !AllFinite(x))
        return false;
    Scatter(x, states, pi);
    return true;
}

// The Krylov iteration, run until the relative residual of the normalised vector, not
// the solver's own estimate of the pinned system's residual, meets the target: the two
// differ by the scale of the pinned state and by the norms. Each round that falls
// short asks the solver for a hundred times less and goes on from where it stopped,
// pinned anew at the state then largest. Returns the iterations; pi is left
// normalised, its residual in `residual`.
template <class Solver, class Configure>
size_t KrylovToTarget(const RateMatrix& in, const std::vector<double>& exitRate,
                      const std::vector<uint32_t>& states, double target, std::vector<double>& pi,
                      double& residual, Configure configure) {
    constexpr int kRounds = 5;
    const Eigen::Index m = static_cast<Eigen::Index>(states.size());
    // Sweeps that ran out of range leave nothing of use: start from the uniform vector.
    bool usable = false;
    for (uint32_t j : states) {
        if (!std::isfinite(pi[j])) {
            usable = false;
            break;
        }
        usable = usable || pi[j] > 0.0;
    }
    if (!usable)
        for (uint32_t j : states)
            pi[j] = 1.0 / static_cast<double>(states.size());
    Normalise(pi, states);
    residual = SteadyState::Residual(in, exitRate, states, pi);
    size_t iterations = 0;
    double tolerance = target * 1e-2;
    size_t pinned = states.size(); // none yet
    Solver solver;
    configure(solver);
    RowMatrix a;                       // the solver keeps a reference to it
    size_t overflowed = states.size(); // a state that a solution out of range showed
    for (int round = 0; round < kRounds && !(residual <= target); round++) {
        size_t largest = Largest(pi, states);
        const bool repin = overflowed < states.size();
        if (repin)
            largest = overflowed;
        overflowed = states.size();
        // Pinned anew only where the old state fell far below the largest: every
        // new pinning costs a factorisation.
        if (pinned == states.size() || repin || pi[states[pinned]] < 1e-6 * pi[states[largest]]) {
            pinned = largest;
            a = Balance(in, exitRate, states, pinned);
            solver.compute(a);
            if (solver.info() != Eigen::Success)
                break;
        }
        Eigen::VectorXd guess(m), b = Eigen::VectorXd::Zero(m);
        const double scale = pi[states[pinned]];
        for (Eigen::Index k = 0; k < m; k++)
            guess[k] = scale > 0.0 ? pi[states[static_cast<size_t>(k)]] / scale : 1.0;
        b[static_cast<Eigen::Index>(pinned)] = 1.0;
        solver.setTolerance(tolerance);
        const Eigen::VectorXd x = solver.solveWithGuess(b, guess);
        iterations += static_cast<size_t>(solver.iterations());
        if (!AllFinite(x)) {
            // The state pinned was far below some other: pinned next at the largest
            // value of this solution, an overflowed one first.
            Eigen::Index top = -1;
            for (Eigen::Index k = 0; k < m; k++)
                if (!std::isnan(x[k]) && (top < 0 || x[k] > x[top]))
                    top = k;
            if (top < 0 || static_cast<size_t>(top) == pinned)
                break;
            overflowed = static_cast<size_t>(top);
            continue;
        }
        std::vector<double> next = pi;
        Scatter(x, states, next);
        for (uint32_t j : states)
            next[j] = std::max(next[j], 0.0); // rounding around 0 only
        Normalise(next, states);
        const double r = SteadyState::Residual(in, exitRate, states, next);
        if (r < residual || std::isinf(residual)) {
            pi.swap(next);
            residual = r;
        }
        tolerance = std::max(tolerance * 1e-2, 1e-15);
    }
    return iterations;
}

size_t SolveKrylov(const RateMatrix& in, const std::vector<double>& exitRate,
                   const std::vector<uint32_t>& states, double target, std::vector<double>& pi,
                   double& residual) {
    const Eigen::Index m = static_cast<Eigen::Index>(states.size());
    const Eigen::Index most = std::max<Eigen::Index>(1000, std::min<Eigen::Index>(4 * m, 20000));
    if (states.size() > SteadyState::kIncompleteLULimit)
        return KrylovToTarget<Eigen::BiCGSTAB<RowMatrix, Eigen::DiagonalPreconditioner<double>>>(
            in, exitRate, states, target, pi, residual,
            [&](auto& solver) { solver.setMaxIterations(most); });
    return KrylovToTarget<Eigen::BiCGSTAB<RowMatrix, Eigen::IncompleteLUT<double>>>(
        in, exitRate, states, target, pi, residual, [&](auto& solver) {
            solver.setMaxIterations(most);
            solver.preconditioner().setDroptol(1e-4);
            solver.preconditioner().setFillfactor(4);
        });
}

// Sweeps until the residual is below the target.
//
// The relaxation factor is chosen by trials of 1.0, 1.1, 1.2, ... from one same
// vector, a few sweeps each, for as long as each does better than the one before:
// progress slows down as the sweeps go on, so trials one after the other would
// favour the first. The best trial's vector is kept and swept on with its factor.
// Every few sweeps the progress is checked: when the residual grows with a factor
// above 1, or falls too slowly to reach the target within the sweeps allowed, the
// factor is lowered by a step (a growing vector is first put back to what it was
// at the last check); at 1 the sweeps give up when they stall or cannot make it.
//
// The sweeps are linear in the vector, so it is only scaled back to a sum of 1 now
// and then, to keep it within range, and at the end.
Sweeps SweepToTarget(const RateMatrix& in, const std::vector<double>& exitRate,
                     const std::vector<uint32_t>& states, double target, std::vector<double>& pi) {
    // The first sweeps fall faster than the rest will: the trials start after them.
    constexpr size_t kWarmUp = 12;
    // Sweeps per trial of a factor: the first few after a change of factor jump.
    constexpr size_t kSettle = 3, kMeasure = 5;
    constexpr size_t kWindow = 10; // sweeps per progress check after that
    constexpr int kMostSteps = 9;  // factors up to 1.9
    const double maxExit = MaxExit(exitRate, states);
    Sweeps r;
    double mass = 1.0;
    size_t lastTrue = 0;
    auto rescale = [&] {
        if (mass > 0.0 && mass != 1.0) {
            for (uint32_t j : states)
                pi[j] /= mass;
            mass = 1.0;
        }
    };
    // One sweep; true when the target is met.
    double d = 0.0;
    auto sweep = [&](double omega) {
        d = in.WithRates([&](auto rates) {
            return Sweep(in, rates, exitRate, states, omega, maxExit, pi, mass);
        });
        r.sweeps++;
        if (!(mass > 0x1p-64 && mass < 0x1p64))
            rescale();
        if (!(d <= target) || r.sweeps < lastTrue + 3)
            return false;
        lastTrue = r.sweeps;
        rescale();
        r.residual = SteadyState::Residual(in, exitRate, states, pi);
        r.converged = r.residual <= target;
        return r.converged;
    };
    auto factor = [](int step) { return 1.0 + 0.1 * step; };

    for (size_t k = 0; k < kWarmUp; k++)
        if (sweep(1.0))
            return r;

    std::vector<double> start = pi, best;
    const double startMass = mass;
    double bestRate = 0.0, bestMixed = 0.0, bestMass = 0.0;
    int step = 0;
    for (int trial = 0; trial <= kMostSteps; trial++) {
        if (trial > 0) {
            pi = start;
            mass = startMass;
        }
        double measured = 0.0;
        for (size_t k = 1; k <= kSettle + kMeasure; k++) {
            if (sweep(factor(trial))) {
                r.omega = factor(trial);
                return r;
            }
            if (k == kSettle)
                measured = d;
        }
        const double rate = std::pow(d / measured, 1.0 / static_cast<double>(kMeasure));
        if (trial > 0 && !(rate < bestRate))
            break;
        best.swap(pi);
        bestRate = rate;
        bestMixed = d;
        bestMass = mass;
        step = trial;
    }
    pi.swap(best);
    mass = bestMass;
    d = bestMixed;
    r.omega = factor(step);
    std::vector<double>().swap(best);

    std::vector<double>& checked = start; // the vector at the last check
    checked = pi;
    double checkedMixed = d, checkedMass = mass;
    size_t flat = 0;
    for (size_t since = 1; r.sweeps < kMaxSweeps; since++) {
        if (sweep(r.omega))
            return r;
        if (since < kWindow)
            continue;
        since = 0;
        const double rate = std::pow(d / checkedMixed, 1.0 / static_cast<double>(kWindow));
        const bool tooSlow =
            rate < 1.0 && d > target &&
            std::log(target / d) / std::log(rate) > static_cast<double>(kMaxSweeps - r.sweeps);
        if (step > 0 && !(rate < 1.0)) {
            // Over-relaxation that diverges.
            pi = checked;
            mass = checkedMass;
            d = checkedMixed;
            r.omega = factor(--step);
            continue;
        }
        checked = pi;
        checkedMixed = d;
        checkedMass = mass;
        if (step > 0 && tooSlow) {
            r.omega = factor(--step);
            continue;
        }
        flat = rate < 0.999 ? 0 : flat + 1;
        if (flat >= 5 || tooSlow)
            break;
    }
    rescale();
    r.residual = SteadyState::Residual(in, exitRate, states, pi);
    r.converged = r.residual <= target;
    return r;
}

} // namespace

double SteadyState::Residual(const RateMatrix& in, const std::vector<double>& exitRate,
                             const std::vector<uint32_t>& states, const std::vector<double>& pi) {
    double flow = 0.0, mass = 0.0;
    in.WithRates([&](auto rate) {
        for (uint32_t j : states) {
            double s = 0.0;
            for (uint64_t k = in.rowStart[j]; k < in.rowStart[j + 1]; k++)
                s += pi[in.column[k]] * rate[k];
            flow += std::fabs(s - pi[j] * exitRate[j]);
            mass += std::fabs(pi[j]);
        }
    });
    // A vector that overflowed, or that is all 0, is no distribution whatever its
    // flows.
    const double scale = mass * MaxExit(exitRate, states);
    if (!(scale > 0.0) || !std::isfinite(scale) || !std::isfinite(flow))
        return std::numeric_limits<double>::infinity();
    return flow / scale;
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
        r.iterations += SolveKrylov(in, exitRate, states, target, r.pi, r.residual);
    } else {
        r.method = "BiCGSTAB";
        for (uint32_t j : states)
            r.pi[j] = 1.0 / static_cast<double>(states.size());
        // A uniform start tells no state of large probability from the rest.
        Estimate(in, exitRate, states, 20, r.pi);
        r.iterations = SolveKrylov(in, exitRate, states, target, r.pi, r.residual);
    }
    r.converged = r.residual <= target;
    return r;
}
