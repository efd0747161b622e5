// Impulse rewards and full-precision rate rewards from gen through the reward-rate
// file to solve: small compiled models whose measures are worked out by hand, the
// simulator's estimates of the same measures, the FMS's productivity against its
// chain solved here, and the faults of a reward-rate file as solve reports them.
#include "solver/SolveFiles.h"
#include "support/TestSupport.h"

#include <Eigen/Dense>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::Lines;

using namespace solvetest;
using ::testing::HasSubstr;
using testsupport::RunResult;
using testsupport::TestModel;

class SolveImpulseTest : public GenSolveTest {
  protected:
    SolveImpulseTest() : GenSolveTest("solveimpulse") {}

    // Runs the compiled model's gen, then solve, on experiment 0; the rows by variable.
    std::map<std::string, CsvRow> GenAndSolve(const std::string& model, const std::string& name,
                                              const std::string& genArgs = "") {
        std::map<std::string, CsvRow> rows;
        for (const CsvRow& row : GenAndSolveRows(model, name, genArgs))
            rows[row.variable] = row;
        return rows;
    }
};

void ExpectWithinBound(const CsvRow& row, double exact) {
    SCOPED_TRACE(row.variable + " at " + row.time);
    const double bound = row.error.empty() ? 0.0 : std::stod(row.error);
    EXPECT_NEAR(row.Value(), exact, bound + 1e-12 * std::max(1.0, std::fabs(exact)));
}

// A count of service completions over [0, 16]: every completion returns to the
// initial state, which no completion reached first, so the reward file's impulse
// column is 0 throughout. The count must still be mu times the expected time busy,
// as the same count written as a rate reward gives.
TEST_F(SolveImpulseTest, ImpulseCountOverAnIntervalEqualsTheRateFormulation) {
    const double lambda = 1, mu = 2, s = lambda + mu;
    // The expected time busy over [a, b], from P(busy at t) = lambda/s (1 - e^-st).
    const auto busyTime = [&](double a, double b) {
        return lambda / s * (b - a) - lambda / (s * s) * (std::exp(-s * a) - std::exp(-s * b));
    };
    std::map<std::string, CsvRow> rows = GenAndSolve("impulse_queue", "q");
    ASSERT_EQ(5u, rows.size());
    // The trap: nothing in the reward file shows the impulse.
    const std::vector<std::string> var = Lines(Output("q.var"));
    ASSERT_EQ(5u + 2 * 11, var.size());
    for (int state = 0; state < 2; state++)
        EXPECT_EQ("0", var[5 + 11 * state + 1]) << "state " << state + 1;

    ExpectWithinBound(rows["served"], mu * busyTime(0, 16));
    EXPECT_GT(rows["served"].Value(), 3.0);
    EXPECT_NEAR(rows["served"].Value(), rows["served_as_rate"].Value(), 1e-12 * 11);
    ExpectWithinBound(rows["served_share"], mu * busyTime(2, 16) / 14);
    EXPECT_NEAR(lambda * mu / s, rows["served_long_run"].Value(), 1e-15);
    // An instant earns no impulse: the rate reward alone, and a note that says so.
    ExpectWithinBound(rows["busy_now"], lambda / s * (1 - std::exp(-s * 16)));
    EXPECT_THAT(solved.out, HasSubstr("note: variable busy_now is measured at instants of time, "
                                      "where no impulse is earned"));
    EXPECT_THAT(solved.out, ::testing::Not(HasSubstr("is missing")));
}

// Impulses of the cases of a timed activity and of the instantaneous activities
// fired after it, weighted by the probabilities of their paths, resolved both by
// the recursion and by the exact elimination (-z).
TEST_F(SolveImpulseTest, InstantaneousImpulsesAreWeightedByTheirPathProbabilities) {
    // In start (state 1): go at rate 2; case 1 (0.25) earns 1 and leads to x (1/4,
    // earns 10) or y (3/4, earns 100); case 2 (0.75) earns 4. In a: back_a at 1 earns
    // 1000.
    const double inStart = 2 * 0.25 * (1 + 0.25 * 10 + 0.75 * 100) + 2 * 0.75 * 4; // 45.25
    const double inA = 1000;
    // Stationary: start 1, a 1.625 (2 * (0.75 + 0.25 * 0.25) / 1), b 0.375 / 3.
    const double longRun = (inStart + 1.625 * inA) / (1 + 1.625 + 0.125);
    for (const std::string args : {"", "-z"}) {
        SCOPED_TRACE("gen " + args);
        std::map<std::string, CsvRow> rows = GenAndSolve("impulse_paths", "p", args);
        const std::vector<std::string> lines = Lines(Output("p.rates"));
        ASSERT_EQ(7u, lines.size());
        EXPECT_EQ((std::vector<std::string>{"I 1 1 45.25", "I 2 1 1000", "End:3"}),
                  std::vector<std::string>(lines.begin() + 4, lines.end()));
        EXPECT_NEAR(longRun, rows["earned"].Value(), 1e-13 * longRun);
    }
}

// A loop of instantaneous firings, which only the exact elimination resolves: y
// fires 3/4 / (1 - 3/4 * 1/2) = 6/5 times per firing of go.
TEST_F(SolveImpulseTest, ImpulsesInALoopOfInstantaneousFiringsAreItsExpectedVisits) {
    std::map<std::string, CsvRow> rows = GenAndSolve("impulse_loop", "l", "-z");
    const std::vector<std::string> lines = Lines(Output("l.rates"));
    ASSERT_EQ(6u, lines.size());
    ASSERT_EQ(0u, lines[4].rfind("I 1 1 ", 0)) << lines[4];
    EXPECT_NEAR(2 * 1.2, std::stod(lines[4].substr(6)), 1e-14);
    // Stationary: start 1, a 2 * 2/5, b 2 * 3/5; y at 2.4 in start.
    EXPECT_NEAR(2.4 / 3, rows["spins"].Value(), 1e-14);
}

// Instantaneous firings deeper than the recursion goes, resolved by the exact
// elimination in topological order: step fires sum over k = 1 to 29 of 2^-k times
// per firing of go, a sum that is exact in binary.
TEST_F(SolveImpulseTest, ImpulsesOfADeepChainOfInstantaneousFiringsAreExact) {
    std::map<std::string, CsvRow> rows = GenAndSolve("impulse_chain", "c", "-z");
    const double perGo = 1 - std::ldexp(1.0, -29);
    EXPECT_EQ("Version:1\nNumPV:1\nName:steps\nImpulse:1\nI 1 1 1.9999999962747097\nEnd:2\n",
              Output("c.rates"));
    EXPECT_EQ(2 * perGo, 1.9999999962747097);
    // Stationary: s 1/3 (left at 2), t 2/3 (left at 1).
    EXPECT_NEAR(2 * perGo / 3, rows["steps"].Value(), 1e-15);
}

// A deterministic firing earns its impulse once per delay: the file says so
// instead of giving a rate, and the exponential failures keep theirs.
TEST_F(SolveImpulseTest, DeterministicImpulsesAreMarkedUnavailable) {
    const RunResult g = Run(TestModel("solvetest_impulse_det"), "-P./ -Nd -B0");
    ASSERT_EQ(0, g.status) << g.err;
    EXPECT_EQ("Version:1\nNumPV:2\nName:repairs\nImpulse:1\nName:failures\nImpulse:1\n"
              "I 1 2 0.5\nI 2 1 unavailable\nEnd:2\n",
              Output("d.rates"));
}

// An impulse that is no number would turn every measure it reaches into one: the
// run stops, naming the activity, the variable and the state, and writes nothing.
TEST_F(SolveImpulseTest, AnImpulseThatIsNoNumberStopsTheRun) {
    for (const std::string args : {"", " -z"}) {
        SCOPED_TRACE("gen" + args);
        const RunResult r =
            Run(TestModel("solvetest_impulse_bad"), "-P./ -Nb -B0 -Od:bad:1" + args);
        EXPECT_EQ(1, r.status);
        EXPECT_THAT(r.err,
                    HasSubstr("Error: activity back earns variable r an impulse reward of "));
        EXPECT_THAT(r.err, HasSubstr("nan in state 1; an impulse reward must be a finite number"));
        EXPECT_TRUE(Listing().empty());
    }
    // Without the override the impulse is 0 and the run completes.
    const RunResult ok = Run(TestModel("solvetest_impulse_bad"), "-P./ -Nb -B0");
    ASSERT_EQ(0, ok.status) << ok.err;
    EXPECT_EQ("Version:1\nNumPV:1\nName:r\nImpulse:1\nI 1 1 1\nEnd:1\n", Output("b.rates"));
}

// Rewards that 6 digits do not hold are written in full; those they hold are not
// repeated. The FMS's long-run productivity is then the value of its chain, as
// solved here from the rates gen wrote and the rewards in exact fractions.
TEST_F(SolveImpulseTest, FmsProductivityIsThatOfItsChainToTwelveDigits) {
    ASSERT_EQ(0, Run(testsupport::BenchProgram("gen_fms"), "-P./ -Nfms -B0").status);
    std::ifstream arm(work / "fms.arm");
    std::string line;
    std::getline(arm, line);
    std::getline(arm, line);
    const int n = std::stoi(line);
    ASSERT_EQ(54, n);
    std::getline(arm, line);
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(n, n);
    for (int s = 0; s < n; s++) {
        std::getline(arm, line);
        ASSERT_EQ(s + 1, std::stoi(line));
        while (std::getline(arm, line) && line != "0") {
            const int to = std::stoi(line) - 1;
            std::getline(arm, line);
            const double rate = std::stod(line);
            if (to == s)
                continue;
            a(to, s) += rate;
            a(s, s) -= rate;
        }
    }
    a.row(n - 1).setOnes();
    Eigen::VectorXd b = Eigen::VectorXd::Zero(n);
    b[n - 1] = 1.0;
    const Eigen::VectorXd pi = a.fullPivLu().solve(b);

    // Productivity is 400, 600, 100 and 1100 times entry rates of the form x / r
    // (r at most 4 parts): a whole number of twelfths.
    const std::vector<std::string> var = Lines(Output("fms.var"));
    ASSERT_EQ(2u + 5u * n, var.size());
    double expected = 0.0;
    int rounded = 0;
    for (int s = 0; s < n; s++) {
        const double shown = std::stod(var[2 + 5 * s + 4]);
        const double twelfths = std::round(shown * 12);
        ASSERT_NEAR(twelfths, shown * 12, 0.01) << "state " << s + 1;
        const double exact = twelfths / 12;
        rounded += exact != shown;
        expected += pi[s] * exact;
    }
    ASSERT_GT(rounded, 0) << "no reward that 6 digits do not hold: the test shows nothing";
    // Exactly those rewards have their full value in the reward-rate file.
    int written = 0;
    for (const std::string& l : Lines(Output("fms.rates")))
        written += l.rfind("R ", 0) == 0 && l.find(" 2 ") != std::string::npos;
    EXPECT_EQ(rounded, written);

    const RunResult r = Run(SolveProgram(), "-P./ -Nfms");
    ASSERT_EQ(0, r.status) << r.err;
    double value = 0.0;
    for (const CsvRow& row : ReadCsv(work / "fms.csv"))
        if (row.variable == "productivity")
            value = row.Value();
    EXPECT_NEAR(expected, value, 1e-12 * expected);

    // The rounded rewards alone miss by far more: what the file is for.
    std::filesystem::remove(work / "fms.rates");
    const RunResult old = Run(SolveProgram(), "-P./ -Nfms");
    ASSERT_EQ(0, old.status) << old.err;
    EXPECT_THAT(old.out, HasSubstr("note: ./fms.rates is missing (the files of an older gen)"));
    for (const CsvRow& row : ReadCsv(work / "fms.csv")) {
        if (row.variable == "productivity") {
            EXPECT_GT(std::fabs(row.Value() - expected), 1e-10 * expected);
        }
    }
}

// The simulator earns impulses as it fires; its intervals must cover what solve
// computes from the impulse rates.
TEST_F(SolveImpulseTest, TheSimulatorAgreesWithTheImpulseRates) {
    const struct {
        std::string model;
        const char* args;
    } models[] = {
        {"impulse_queue", "-n200 -r0 -a0 -w20 -b50 -k5"},
        {"impulse_paths", "-n200 -r0 -a0 -w20 -b50 -k5"},
    };
    for (const auto& m : models) {
        SCOPED_TRACE(m.model);
        std::map<std::string, CsvRow> exact = GenAndSolve(m.model, "exact");
        // Over 10 seeds each 95% interval must cover the exact value at least 8 times.
        std::map<std::string, int> covered;
        for (int seed = 1; seed <= 10; seed++) {
            const std::string name = "s" + std::to_string(seed);
            const RunResult r = Run(TestModel("solvetest_" + m.model + "_sim"),
                                    "-N" + name + " -S" + std::to_string(seed) + " " + m.args);
            ASSERT_EQ(0, r.status) << r.err;
            for (const CsvRow& row : ReadCsv(work / (name + ".csv"))) {
                ASSERT_TRUE(exact.count(row.variable)) << row.variable;
                const double half = row.error.empty() ? 0.0 : std::stod(row.error);
                covered[row.variable] +=
                    std::fabs(row.Value() - exact[row.variable].Value()) <= half;
            }
        }
        for (const auto& e : exact)
            EXPECT_GE(covered[e.first], 8) << e.first << " (exact " << e.second.value << ")";
    }
}

// A reward-rate file that does not belong to the other files, or is broken, stops
// the run before anything is written; one that marks a variable's impulse rate
// unavailable refuses that variable alone.
TEST_F(SolveImpulseTest, FaultsOfTheRewardRateFileAreReportedWithFileAndLine) {
    // Two states, 1 -> 2 -> 1 at rate 1; the rate reward 1/3 needs the file.
    Variable count{"count", 1, {{0, 2}}, {0.0, 1.0 / 3}, {}};
    Variable now{"now", 0, {{1, 1}}, {1.0, 0.0}, {}};
    const std::string header = "Version:1\nNumPV:2\nName:count\nImpulse:1\nName:now\nImpulse:0\n";
    const std::string sound = header + "I 1 1 0.5\nR 2 1 0.33333333333333331\nEnd:2\n";
    const struct {
        const char* what;
        std::string text;
        const char* message; // empty: solved
    } cases[] = {
        {"sound", sound, ""},
        {"another version", "Version:2" + sound.substr(9),
         "m.rates:1: unknown reward-rate file version"},
        {"fewer variables", "Version:1\nNumPV:1\nName:count\nImpulse:1\nEnd:2\n",
         "m.rates:2: the reward-rate file has 1 variables, the type file 2"},
        {"another name", "Version:1\nNumPV:2\nName:other\nImpulse:1\nName:now\nImpulse:0\nEnd:2\n",
         "m.rates:3: variable name \"other\" differs from \"count\""},
        {"impulse flag", "Version:1\nNumPV:2\nName:count\nImpulse:2\nName:now\nImpulse:0\nEnd:2\n",
         "m.rates:4: Impulse: must be 0 or 1"},
        {"another run's rate", header + "R 2 1 0.3334\nEnd:2\n",
         "m.rates:7: rate reward 0.3334 of state 2 does not round to the reward file's 0.333333"},
        {"state out of range", header + "I 3 1 1\nEnd:2\n",
         "m.rates:7: state 3 is not one of the chain's 2"},
        {"variable out of range", header + "I 1 3 1\nEnd:2\n",
         "m.rates:7: variable 3 is not one of the 2"},
        {"descending", header + "I 2 1 1\nI 1 1 1\nEnd:2\n",
         "m.rates:8: the I lines are not in ascending order"},
        {"not a number", header + "I 1 1 nan\nEnd:2\n", "m.rates:7: value is not a finite number"},
        {"unknown line", header + "X 1 1 1\nEnd:2\n", "m.rates:7: expected \"R <state>"},
        {"no end", header + "I 1 1 1\n", "m.rates:8: unexpected end of file: expected End:"},
        {"another count", header + "End:3\n", "m.rates:7: the reward-rate file covers 3 states"},
        {"text after the end", header + "End:2\nI 1 1 1\n",
         "m.rates:8: unexpected text after End:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteModel(work, "m", 2, {{1, 2, 1.0}, {2, 1, 1.0}}, {count, now});
        WriteText(work / "m.rates", c.text);
        std::filesystem::remove(work / "m.csv");
        const RunResult r = Run(SolveProgram(), "-Nm");
        if (std::string(c.message).empty()) {
            ASSERT_EQ(0, r.status) << r.err;
            // Impulses at 0.5 per unit of time in state 1, the rate reward 1/3 in state 2;
            // P(state 1 at t) = (1 + e^-2t) / 2, so the time in state 1 over [0, 2] is:
            const double inOne = 1 + (1 - std::exp(-4.0)) / 4;
            const std::vector<CsvRow> rows = ReadCsv(work / "m.csv");
            ASSERT_EQ(2u, rows.size());
            ExpectWithinBound(rows[0], 0.5 * inOne + (2 - inOne) / 3);
            continue;
        }
        EXPECT_EQ(1, r.status);
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_FALSE(Exists("m.csv"));
    }

    // A deterministic firing's impulse: that variable alone is refused.
    WriteModel(work, "m", 2, {{1, 2, 1.0}, {2, 1, 1.0}}, {count, now});
    WriteText(work / "m.rates", header + "I 2 1 unavailable\nEnd:2\n");
    const RunResult r = Run(SolveProgram(), "-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("variable count: impulse rewards earned by a deterministic "
                                 "firing in state 2 have no rate in a Markov chain"));
    const std::vector<CsvRow> rows = ReadCsv(work / "m.csv");
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("refused", rows[0].value);
    ExpectWithinBound(rows[1], 0.5 + 0.5 * std::exp(-2.0));
}

} // namespace
