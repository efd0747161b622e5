#include "solver/Absorption.h"

#include <Eigen/IterativeLinearSolvers>
#include <Eigen/SparseCore>
#include <Eigen/SparseLU>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using RowMatrix = Eigen::SparseMatrix<double, Eigen::RowMajor, int>;
constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

// The system's matrix in the transient states' local numbering: row j holds exit_j
// on the diagonal and -q_ij for each transient i that enters j.
RowMatrix System(const RateMatrix& in, const std::vector<double>& exitRate,
                 const std::vector<uint32_t>& transient, const std::vector<uint32_t>& local) {
    std::vector<Eigen::Triplet<double, int>> entries;
    for (size_t a = 0; a < transient.size(); a++) {
        const uint32_t j = transient[a];
        entries.emplace_back(static_cast<int>(a), static_cast<int>(a), exitRate[j]);
        for (uint64_t k = in.rowStart[j]; k < in.rowStart[j + 1]; k++) {
            const uint32_t i = local[in.column[k]];
            if (i != kNone)
                entries.emplace_back(static_cast<int>(a), static_cast<int>(i), -in.Rate(k));
        }
    }
    RowMatrix m(static_cast<int>(transient.size()), static_cast<int>(transient.size()));
    m.setFromTriplets(entries.begin(), entries.end());
    return m;
}

double Residual(const RowMatrix& a, const Eigen::VectorXd& z, const Eigen::VectorXd& b,
                double maxExit) {
    const double scale = z.lpNorm<1>() * maxExit;
    if (!(scale > 0.0) || !std::isfinite(scale))
        return std::numeric_limits<double>::infinity();
    const double r = (a * z - b).lpNorm<1>() / scale;
    return std::isfinite(r) ? r : std::numeric_limits<double>::infinity();
}

} // namespace

Absorption::Result Absorption::Solve(const RateMatrix& in, const std::vector<double>& exitRate,
                                     const std::vector<uint32_t>& transient,
                                     const std::vector<std::vector<uint32_t>>& bottoms,
                                     double target) {
    Result r;
    r.probability.assign(bottoms.size(), 0.0);
    std::vector<uint32_t> componentOf(exitRate.size(), kNone);
    for (size_t c = 0; c < bottoms.size(); c++)
        for (uint32_t j : bottoms[c])
            componentOf[j] = static_cast<uint32_t>(c);
    if (componentOf.empty())
        return r;
    if (componentOf[0] != kNone) {
        // The chain starts in a bottom component and stays there.
        r.probability[componentOf[0]] = 1.0;
        r.method = "none needed";
        r.converged = true;
        return r;
    }

    std::vector<uint32_t> local(exitRate.size(), kNone);
    double maxExit = 0.0;
    for (size_t a = 0; a < transient.size(); a++) {
        local[transient[a]] = static_cast<uint32_t>(a);
        maxExit = std::max(maxExit, exitRate[transient[a]]);
    }
    const RowMatrix a = System(in, exitRate, transient, local);
    const Eigen::Index m = a.rows();
    Eigen::VectorXd b = Eigen::VectorXd::Zero(m), z;
    b[static_cast<Eigen::Index>(local[0])] = 1.0;
    if (transient.size() <= kDirectLimit) {
        r.method = "sparse LU";
        Eigen::SparseLU<Eigen::SparseMatrix<double>> lu;
        const Eigen::SparseMatrix<double> columns = a;
        lu.compute(columns);
        if (lu.info() == Eigen::Success)
            z = lu.solve(b);
    }
    if (z.size() == 0 || Residual(a, z, b, maxExit) > target) {
        r.method = "BiCGSTAB";
        Eigen::BiCGSTAB<RowMatrix, Eigen::IncompleteLUT<double>> solver;
        solver.preconditioner().setDroptol(1e-4);
        solver.preconditioner().setFillfactor(4);
        solver.setMaxIterations(std::max<Eigen::Index>(1000, std::min<Eigen::Index>(4 * m, 20000)));
        solver.compute(a);
        Eigen::VectorXd guess = z.size() == m ? z : Eigen::VectorXd::Zero(m);
        double tolerance = target * 1e-2;
        for (int round = 0; round < 5 && solver.info() == Eigen::Success; round++) {
            solver.setTolerance(tolerance);
            guess = solver.solveWithGuess(b, guess);
            if (Residual(a, guess, b, maxExit) <= target)
                break;
            tolerance = std::max(tolerance * 1e-2, 1e-15);
        }
        z = guess;
    }
    r.residual = Residual(a, z, b, maxExit);
    r.converged = r.residual <= target;
    r.time.assign(z.data(), z.data() + z.size());
    // What flows from the transient states into each component.
    for (size_t c = 0; c < bottoms.size(); c++) {
        double p = 0.0;
        for (uint32_t j : bottoms[c])
            for (uint64_t k = in.rowStart[j]; k < in.rowStart[j + 1]; k++) {
                const uint32_t i = local[in.column[k]];
                if (i != kNone)
                    p += std::max(z[static_cast<Eigen::Index>(i)], 0.0) * in.Rate(k);
            }
        r.probability[c] = p;
    }
    return r;
}
