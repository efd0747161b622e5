// The steady state of the Kanban model as gen generates it, against a solution of
// the balance equations computed here from the files gen wrote: a dense direct one
// for N = 1, the power method for N = 2. And the long-run productivity of the FMS
// against its published values.
#include "solver/SolveFiles.h"
#include "support/TestSupport.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace solvetest;

struct Entry {
    int from, to; // 0-based
    double rate;
};

// The transitions of a state-space file, read plainly.
std::vector<Entry> ReadArm(const std::string& path, int& states) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    states = std::stoi(line);
    std::getline(in, line);
    std::vector<Entry> entries;
    for (int s = 0; s < states; s++) {
        std::getline(in, line);
        EXPECT_EQ(s + 1, std::stoi(line));
        while (std::getline(in, line) && line != "0") {
            const int to = std::stoi(line) - 1;
            std::getline(in, line);
            entries.push_back({s, to, std::stod(line)});
        }
    }
    return entries;
}

// The names of the variables of a type file.
std::vector<std::string> ReadNames(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Name:", 0) == 0)
            names.push_back(line.substr(5));
    return names;
}

// The rate rewards of every variable of a reward file.
std::vector<std::vector<double>> ReadRewards(const std::string& path, int states,
                                             size_t variables) {
    std::ifstream in(path);
    std::string line;
    for (size_t v = 0; v < variables; v++)
        std::getline(in, line);
    std::vector<std::vector<double>> r(variables, std::vector<double>(states));
    for (int s = 0; s < states; s++) {
        std::getline(in, line); // number
        for (size_t v = 0; v < variables; v++) {
            std::getline(in, line); // impulse
            std::getline(in, line);
            r[v][s] = std::stod(line);
        }
    }
    return r;
}

// pi Q = 0 with the last balance equation replaced by sum pi = 1.
Eigen::VectorXd DenseSteadyState(int n, const std::vector<Entry>& entries) {
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(n, n);
    for (const Entry& e : entries) {
        if (e.from == e.to)
            continue;
        a(e.to, e.from) += e.rate;
        a(e.from, e.from) -= e.rate;
    }
    a.row(n - 1).setOnes();
    Eigen::VectorXd b = Eigen::VectorXd::Zero(n);
    b[n - 1] = 1.0;
    return a.fullPivLu().solve(b);
}

// Too large for a dense factorisation in an unoptimised test: the power method on
// the uniformised chain P = I + Q / q instead, q above every exit rate so that P
// is aperiodic, until an iteration changes pi by less than 1e-15 in the 1-norm.
Eigen::VectorXd PowerSteadyState(int n, const std::vector<Entry>& entries) {
    std::vector<double> exit(n, 0.0);
    std::vector<Entry> moves;
    for (const Entry& e : entries)
        if (e.from != e.to) {
            exit[e.from] += e.rate;
            moves.push_back(e);
        }
    const double q = 1.1 * *std::max_element(exit.begin(), exit.end());
    Eigen::VectorXd pi = Eigen::VectorXd::Constant(n, 1.0 / n), next(n);
    for (int k = 0; k < 1000000; k++) {
        for (int s = 0; s < n; s++)
            next[s] = pi[s] * (1.0 - exit[s] / q);
        for (const Entry& e : moves)
            next[e.to] += pi[e.from] * e.rate / q;
        const double change = (next - pi).lpNorm<1>();
        pi.swap(next);
        if (change < 1e-15)
            return pi / pi.sum();
    }
    ADD_FAILURE() << "the power method did not converge";
    return pi;
}

class SolveKanbanTest : public testsupport::ScratchTest {
  protected:
    SolveKanbanTest() : ScratchTest("solvekanban") {}
};

TEST_F(SolveKanbanTest, SteadyStateMatchesADirectSolution) {
    for (int n : {1, 2}) {
        SCOPED_TRACE("Kanban N=" + std::to_string(n));
        const std::string gen = testsupport::BenchProgram("gen_kanban");
        const std::string args = "-P" + work.string() + "/ -Nkanban -B" + std::to_string(n - 1);
        ASSERT_EQ(0, Run(gen, args).status) << gen << " " << args;
        // Every variable of the model, asked for in the long run.
        const std::vector<std::string> names = ReadNames((work / "kanban.pvtype").string());
        ASSERT_FALSE(names.empty());
        std::string types = "Version:1\nNumPV:" + std::to_string(names.size()) + "\n";
        for (const std::string& name : names)
            types += "Name:" + name + "\nType:3\nNumTimes:0\n";
        WriteText(work / "kanban.pvtype", types);
        int states = 0;
        const std::vector<Entry> entries = ReadArm((work / "kanban.arm").string(), states);
        const std::vector<std::vector<double>> rewards =
            ReadRewards((work / "kanban.var").string(), states, names.size());
        const Eigen::VectorXd pi =
            n == 1 ? DenseSteadyState(states, entries) : PowerSteadyState(states, entries);
        std::vector<double> expected(names.size(), 0.0);
        for (size_t v = 0; v < names.size(); v++) {
            for (int s = 0; s < states; s++)
                expected[v] += pi[s] * rewards[v][s];
            ASSERT_GT(expected[v], 0.0) << names[v];
        }

        for (const char* method : {"", "-mgs", "-mbicgstab"}) {
            SCOPED_TRACE(std::string("method [") + method + "]");
            const testsupport::RunResult r =
                Run(SolveProgram(), "-P" + work.string() + "/ -Nkanban " + method);
            ASSERT_EQ(0, r.status) << r.err;
            const std::vector<CsvRow> rows = ReadCsv(work / "kanban.csv");
            ASSERT_EQ(names.size(), rows.size());
            for (size_t v = 0; v < names.size(); v++) {
                EXPECT_EQ(names[v], rows[v].variable);
                EXPECT_EQ("steady-state", rows[v].kind);
                EXPECT_NEAR(expected[v], rows[v].Value(), 1e-7 * expected[v]) << names[v];
                EXPECT_LE(std::stod(rows[v].residual), 1e-9);
            }
        }
    }
}

// The FMS's long-run productivity (each part type's earnings at the marking-dependent
// rate of its entry) as published to three digits.
TEST_F(SolveKanbanTest, FmsProductivityIsThePublishedOne) {
    const double kPublished[] = {13.9, 29.2, 44.4, 59.6};
    for (int n = 1; n <= 4; n++) {
        SCOPED_TRACE("FMS N=" + std::to_string(n));
        const std::string args = "-P" + work.string() + "/ -Nfms -B" + std::to_string(n - 1);
        ASSERT_EQ(0, Run(testsupport::BenchProgram("gen_fms"), args).status);
        const testsupport::RunResult r = Run(SolveProgram(), "-P" + work.string() + "/ -Nfms");
        ASSERT_EQ(0, r.status) << r.err;
        bool found = false;
        for (const CsvRow& row : ReadCsv(work / "fms.csv")) {
            if (row.variable != "productivity")
                continue;
            found = true;
            EXPECT_EQ("steady-state", row.kind);
            EXPECT_NEAR(kPublished[n - 1], row.Value(), 0.05);
        }
        EXPECT_TRUE(found);
    }
}

// FMS N = 5 is where over-relaxation once ran away: the sweeps must reach the
// solution BiCGSTAB finds from scratch, not report a vector that overflowed.
TEST_F(SolveKanbanTest, FmsFiveSweepsToTheKrylovSolution) {
    const std::string args = "-P" + work.string() + "/ -Nfms";
    ASSERT_EQ(0, Run(testsupport::BenchProgram("gen_fms"), args + " -B4").status);
    double value[2] = {0.0, 0.0};
    const char* methods[2] = {"-mgs", "-mbicgstab"};
    for (int m = 0; m < 2; m++) {
        const testsupport::RunResult r = Run(SolveProgram(), args + " " + methods[m]);
        ASSERT_EQ(0, r.status) << r.err;
        for (const CsvRow& row : ReadCsv(work / "fms.csv"))
            if (row.variable == "productivity") {
                value[m] = row.Value();
                EXPECT_LE(std::stod(row.residual), 1e-9) << methods[m];
            }
    }
    EXPECT_TRUE(std::isfinite(value[0]));
    EXPECT_NEAR(value[1], value[0], 1e-6 * value[1]);
    EXPECT_GT(value[0], 60.0); // above N = 4
}

} // namespace

// The tandem queue of bench/models/tandem.san, experiment 0: its initial state, the
// empty system, has a long-run probability of about 1e-320. Pinned to 1 it scaled
// every other state past the largest double, and "-nan" came out as the values.
// What enters the system must equal what leaves it in the long run, which no
// distribution off by a scale or an overflow gives.
TEST_F(SolveKanbanTest, TandemQueueWithAVanishingInitialStateBalancesItsFlows) {
    const std::string args = "-P" + work.string() + "/ -Ntandem";
    ASSERT_EQ(0, Run(testsupport::BenchProgram("gen_tandem"), args + " -B0").status);
    for (const char* method : {"", "-mlu", "-mgs", "-mbicgstab"}) {
        SCOPED_TRACE(std::string("method [") + method + "]");
        const testsupport::RunResult r = Run(SolveProgram(), args + " " + method);
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_EQ(std::string::npos, r.out.find("nan")) << r.out;
        EXPECT_NE(std::string::npos, r.out.find("on 13041 states")) << r.out;
        double entering = 0.0, leaving = 0.0, queue = 0.0;
        for (const CsvRow& row : ReadCsv(work / "tandem.csv")) {
            EXPECT_LE(std::stod(row.residual), 1e-9) << row.variable;
            if (row.variable == "entering")
                entering = row.Value();
            else if (row.variable == "leaving")
                leaving = row.Value();
            else if (row.variable == "first_queue")
                queue = row.Value();
        }
        // The first station serves about 1.64 a time unit when its queue is full.
        EXPECT_GT(entering, 1.5);
        EXPECT_NEAR(entering, leaving, 1e-8 * entering);
        EXPECT_GT(queue, 79.9);
        EXPECT_LE(queue, 80.0);
    }
}
