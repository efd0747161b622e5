// The reward earned until a condition first holds and the probability of reaching
// it, from the model language through gen's reward-rate file to solve and the
// simulator: small compiled models with closed forms, hand-written chains for the
// structure (a condition that may never hold), and the faults of the condition
// lines of the reward-rate file.
#include "solver/SolveFiles.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace solvetest;
using ::testing::HasSubstr;
using testsupport::RunResult;
using testsupport::TestModel;

class SolveUntilTest : public GenSolveTest {
  protected:
    SolveUntilTest() : GenSolveTest("solveuntil") {}

    // Runs the compiled model's gen, then solve; the rows by variable and time.
    std::map<std::string, CsvRow> GenAndSolve(const std::string& model, const std::string& name,
                                              const std::string& genArgs = "") {
        return Keyed(GenAndSolveRows(model, name, genArgs));
    }

    std::map<std::string, CsvRow> Rows(const std::string& name) {
        return Keyed(ReadCsv(work / (name + ".csv")));
    }

    static std::map<std::string, CsvRow> Keyed(const std::vector<CsvRow>& read) {
        std::map<std::string, CsvRow> rows;
        for (const CsvRow& row : read)
            rows[row.time == "-" ? row.variable : row.variable + "@" + row.time] = row;
        return rows;
    }
};

void ExpectRelative(const CsvRow& row, double exact, double relative) {
    SCOPED_TRACE(row.variable + " at " + row.time);
    EXPECT_NEAR(row.Value(), exact, relative * std::fabs(exact));
}

void ExpectWithinBound(const CsvRow& row, double exact) {
    SCOPED_TRACE(row.variable + " at " + row.time);
    ASSERT_FALSE(row.error.empty());
    EXPECT_NEAR(row.Value(), exact, std::stod(row.error) + 1e-12);
}

// Two components in parallel with one repair crew: the mean time to failure is
// (3 lambda + mu) / (2 lambda^2), the components' working time until then
// (2 lambda + mu) / lambda^2, the repairs before it mu / lambda (impulses, the
// failing firing's included), and failure is certain. Also with a failure rate
// a thousand times below the repair rate, where the chain is stiff.
TEST_F(SolveUntilTest, MeanTimeToFailureOfTwoParallelComponentsWithOneCrew) {
    const struct {
        const char* overrides;
        double lambda, mu;
    } cases[] = {{"", 0.5, 3}, {"-Od:lambda:0.001:d:mu:1", 0.001, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.overrides);
        std::map<std::string, CsvRow> rows = GenAndSolve("until_parallel", "p", c.overrides);
        ASSERT_EQ(4u, rows.size()) << solved.out;
        const double l = c.lambda, mu = c.mu;
        ExpectRelative(rows["mttf"], (3 * l + mu) / (2 * l * l), 1e-9);
        ExpectRelative(rows["working_time"], (2 * l + mu) / (l * l), 1e-9);
        ExpectRelative(rows["repairs"], mu / l, 1e-9);
        EXPECT_EQ("1", rows["fails"].value);
        EXPECT_EQ("until", rows["mttf"].kind);
        EXPECT_EQ("reach", rows["fails"].kind);
    }
    // What gen tells solve: the one state where both are down, for every variable.
    const std::string rates = Output("p.rates");
    for (int v = 1; v <= 4; v++)
        EXPECT_THAT(rates, HasSubstr("C 3 " + std::to_string(v) + "\n")) << rates;
    EXPECT_THAT(rates, ::testing::Not(HasSubstr("C 1 "))) << rates;
    EXPECT_THAT(Output("p.pvtype"), HasSubstr("Name:mttf\nType:4\nNumTimes:0\n"));
    EXPECT_THAT(Output("p.pvtype"), HasSubstr("Name:fails\nType:5\nNumTimes:0\n"));
}

// One step from the start to a good end (0.3) or a bad one (0.7), at rate 2.
TEST_F(SolveUntilTest, ReachProbabilitiesOfABranchAndAnInfiniteMean) {
    std::map<std::string, CsvRow> rows = GenAndSolve("until_branch", "b");
    ASSERT_EQ(8u, rows.size()) << solved.out;
    ExpectRelative(rows["reach_good"], 0.3, 1e-12);
    ExpectRelative(rows["reach_bad"], 0.7, 1e-12);
    ExpectWithinBound(rows["good_by@0.5"], 0.3 * (1 - std::exp(-1.0)));
    ExpectWithinBound(rows["good_by@1"], 0.3 * (1 - std::exp(-2.0)));
    EXPECT_EQ("reach-within", rows["good_by@1"].kind);
    // Not reached on 7 paths in 10: no number, and the reason on standard output.
    EXPECT_EQ("infinite", rows["time_to_good"].value);
    EXPECT_THAT(solved.out, HasSubstr("note: variable time_to_good: its condition is not "
                                      "reached with probability 1 (from state 1 the chain can "
                                      "reach state 3, from which it never holds)"));
    ExpectRelative(rows["time_to_end"], 0.5, 1e-12);
    // A condition that holds at the start: nothing earned, reached at once.
    EXPECT_EQ("0", rows["at_start"].value);
    EXPECT_EQ("1", rows["started@2"].value);
}

// One component, never repaired: P(failed by t) = 1 - e^-lambda t, lifetime 1/lambda.
TEST_F(SolveUntilTest, TimeBoundedReachOfOneComponentIsItsLifetimeDistribution) {
    std::map<std::string, CsvRow> rows = GenAndSolve("until_single", "s");
    ASSERT_EQ(5u, rows.size()) << solved.out;
    const std::pair<double, const char*> times[] = {{0.5, "0.5"}, {2, "2"}, {10, "10"}};
    for (const auto& [t, text] : times) {
        const CsvRow& row = rows[std::string("failed_by@") + text];
        ExpectWithinBound(row, 1 - std::exp(-0.25 * t));
        EXPECT_LT(std::stod(row.error), 1e-9);
    }
    ExpectRelative(rows["lifetime"], 4, 1e-12);
    ExpectWithinBound(rows["spent@[0,4]"], 3);
}

// gen writes one C line per variable and stable state where the condition holds,
// ascending, whichever exploration runs: one thread or two, vanishing states
// fired through or eliminated (-z); and solve computes the same from each.
TEST_F(SolveUntilTest, TheConditionLinesAreTheSameForEveryExploration) {
    std::string first;
    double failedBy = 0.0;
    for (const char* threads : {"1", "2"})
        for (const char* args : {"", "-z"}) {
            SCOPED_TRACE(std::string(threads) + " thread(s) " + args);
            const RunResult g =
                Run(TestModel("solvetest_until_groups"), std::string("-P./ -Ng -B0 ") + args,
                    std::string("GEN_TEST_THREADS=") + threads +
                        "; export "
                        "GEN_TEST_THREADS; ");
            ASSERT_EQ(0, g.status) << g.out << g.err;
            const std::string rates = Output("g.rates");
            if (first.empty()) {
                first = rates;
                size_t lines = 0, at = 0;
                uint64_t last = 0;
                while ((at = rates.find("\nC ", at)) != std::string::npos) {
                    at++;
                    const uint64_t state = std::stoull(rates.substr(at + 2));
                    const size_t blank = rates.find(' ', at + 2);
                    const int variable = std::stoi(rates.substr(blank + 1));
                    EXPECT_LE(last, state * 10 + variable);
                    last = state * 10 + variable;
                    lines++;
                }
                EXPECT_EQ(2u * 127, lines);
            } else {
                EXPECT_EQ(first, rates);
            }
            const RunResult s = Run(SolveProgram(), "-Ng");
            ASSERT_EQ(0, s.status) << s.out << s.err;
            std::map<std::string, CsvRow> rows = Rows("g");
            if (failedBy == 0.0)
                failedBy = rows["failed_by@5"].Value();
            EXPECT_NEAR(failedBy, rows["failed_by@5"].Value(), 1e-12);
            EXPECT_GT(rows["mttf"].Value(), 0.0);
        }
}

// Hand-written chains where the structure decides: state 1 goes to 2 or 3 at rate 1
// each; 2 is the condition; 3 and 4 pass back and forth for ever (no absorbing state
// anywhere, so that only the structure tells that 2 is not reached from them).
TEST_F(SolveUntilTest, AConditionMissedOnAClosedCycleHasAnInfiniteMeanAndItsProbability) {
    const std::vector<Transition> chain = {
        {1, 2, 1.0}, {1, 3, 1.0}, {3, 4, 5.0}, {4, 3, 5.0}, {2, 1, 7.0}};
    Variable until{"until_two", 4, {}, {1, 1, 1, 1}, {}};
    Variable reach{"reach_two", 5, {}, {0, 0, 0, 0}, {}};
    Variable within{"two_by", 6, {{1, 1}}, {0, 0, 0, 0}, {}};
    Variable four{"until_four", 4, {}, {2, 0, 3, 0}, {}};
    WriteModel(work, "m", 4, chain, {until, reach, within, four});
    WriteText(work / "m.rates", "Version:1\nNumPV:4\nName:until_two\nImpulse:0\nName:reach_two\n"
                                "Impulse:0\nName:two_by\nImpulse:0\nName:until_four\nImpulse:0\n"
                                "C 2 1\nC 2 2\nC 2 3\nC 4 4\nEnd:4\n");
    const RunResult r = Run(SolveProgram(), "-Nm");
    ASSERT_EQ(0, r.status) << r.out << r.err;
    std::map<std::string, CsvRow> rows = Rows("m");
    EXPECT_EQ("infinite", rows["until_two"].value);
    EXPECT_TRUE(rows["until_two"].error.empty() && rows["until_two"].residual.empty());
    ExpectRelative(rows["reach_two"], 0.5, 1e-12);
    // Stopped in 2, the chain leaves 1 at rate 2: half of 1 - e^-2.
    ExpectWithinBound(rows["two_by@1"], 0.5 * (1 - std::exp(-2.0)));
    // To 4: from 1, 2 returns to 1 (rate 7) and 3 leads on. Time in 1: 1 visit on
    // average per pass, passes until 3 is taken: 2 of them; each earns 2 x 1/2 in 1;
    // 3 is visited once and earns 3/5. 2 earns nothing.
    ExpectRelative(rows["until_four"], 2 * 2 * 0.5 + 3.0 / 5, 1e-12);
}

// The condition lines of the reward-rate file: what solve refuses, and a file that
// is missing (condition variables cannot be computed without it).
TEST_F(SolveUntilTest, FaultsOfTheConditionLinesAndAMissingFile) {
    Variable until{"u", 4, {}, {1, 0}, {}};
    const std::string header = "Version:1\nNumPV:1\nName:u\nImpulse:0\n";
    const struct {
        const char* what;
        std::string text;
        const char* message;
    } cases[] = {
        {"state out of range", header + "C 3 1\nEnd:2\n",
         "m.rates:5: state 3 is not one of the chain's 2"},
        {"variable out of range", header + "C 2 2\nEnd:2\n", "m.rates:5: variable 2 is not one of"},
        {"descending", header + "C 2 1\nC 1 1\nEnd:2\n",
         "m.rates:6: the C lines are not in ascending order"},
        {"a value on the line", header + "C 2 1 1\nEnd:2\n", "m.rates:5: expected \"R <state>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteModel(work, "m", 2, {{1, 2, 4.0}}, {until});
        WriteText(work / "m.rates", c.text);
        const RunResult r = Run(SolveProgram(), "-Nm");
        EXPECT_EQ(1, r.status);
        EXPECT_THAT(r.err, HasSubstr(c.message));
    }
    WriteText(work / "m.rates", header + "C 2 1\nEnd:2\n");
    RunResult r = Run(SolveProgram(), "-Nm");
    ASSERT_EQ(0, r.status) << r.err;
    ExpectRelative(Rows("m")["u"], 0.25, 1e-15);

    std::filesystem::remove(work / "m.rates");
    r = Run(SolveProgram(), "-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("variable u: the states where its condition holds are in "
                                 "m.rates, which is missing; run gen again"));
    EXPECT_EQ("refused", Rows("m")["u"].value);
}

// The simulator estimates the same measures: over 10 seeds each 95% interval must
// cover the exact value at least 8 times; the infinite mean is reported as such.
TEST_F(SolveUntilTest, TheSimulatorAgreesWithTheExactValues) {
    for (const char* model : {"until_parallel", "until_branch", "until_single"}) {
        SCOPED_TRACE(model);
        std::map<std::string, CsvRow> exact = GenAndSolve(model, "exact");
        std::map<std::string, int> covered;
        for (int seed = 1; seed <= 10; seed++) {
            const std::string name = "s" + std::to_string(seed);
            const RunResult r = Run(TestModel(std::string("solvetest_") + model + "_sim"),
                                    "-N" + name + " -S" + std::to_string(seed) + " -n400 -r0 -a0");
            ASSERT_EQ(0, r.status) << r.out << r.err;
            for (const auto& [key, row] : Rows(name)) {
                ASSERT_TRUE(exact.count(key)) << key;
                if (exact[key].value == "infinite") {
                    EXPECT_EQ("infinite", row.value);
                    EXPECT_THAT(r.out, HasSubstr("note: variable " + row.variable + ": in "));
                    covered[key]++;
                    continue;
                }
                // The exact value is exact up to its own error bound.
                const double half = (row.error.empty() ? 0.0 : std::stod(row.error)) +
                                    (exact[key].error.empty() ? 0.0 : std::stod(exact[key].error));
                covered[key] += std::fabs(row.Value() - exact[key].Value()) <= half;
            }
        }
        for (const auto& e : exact)
            EXPECT_GE(covered[e.first], 8) << e.first << " (exact " << e.second.value << ")";
    }
}

// A replication that has not reached the condition by the until horizon: the mean
// is refused (what was earned until then would understate it), the probability of
// reaching it is that of reaching it by the horizon, and both say so.
TEST_F(SolveUntilTest, TheSimulatorReportsReplicationsStoppedAtTheHorizon) {
    const RunResult r = Run(TestModel("solvetest_until_parallel_sim"), "-Nh -n64 -r0 -a0 -u2");
    EXPECT_EQ(1, r.status);
    std::map<std::string, CsvRow> rows = Rows("h");
    EXPECT_EQ("refused", rows["mttf"].value);
    EXPECT_EQ("refused", rows["repairs"].value);
    EXPECT_THAT(r.err, HasSubstr("variable mttf: "));
    EXPECT_THAT(r.err, HasSubstr("of 64 replications had not reached its condition by the "
                                 "until horizon 2"));
    EXPECT_THAT(r.out, HasSubstr("note: variable fails: "));
    EXPECT_THAT(r.out, HasSubstr("count as not reaching it: the value is the probability of "
                                 "reaching it by then"));
    EXPECT_LT(rows["fails"].Value(), 1.0);

    // A horizon no replication could reach at the model's pace is refused up front.
    const RunResult far = Run(TestModel("solvetest_until_parallel_sim"), "-Nf -n64 -r0 -a0 -u1e12");
    EXPECT_EQ(1, far.status);
    EXPECT_THAT(far.err, HasSubstr("or a shorter until horizon (-u)"));
    EXPECT_FALSE(Exists("f.csv"));
}

} // namespace
