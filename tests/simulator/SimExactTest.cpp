// The simulator against values known exactly: closed forms of small models (a
// Markov chain, a Weibull lifetime with a fixed repair, the probabilities of cases,
// weights and ranks) and the solver's solution of the repair example. Each seeded
// run is deterministic; over 20 seeds the 95% intervals must cover the exact value
// at least 17 times, over 10 seeds at least 8 times (a correct simulator misses
// either with a probability near 1.5%).
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::RunResult;
using testsupport::ScratchTest;
using testsupport::TestModel;

struct Row {
    std::string variable, kind, time;
    std::string text; // the value as written: a number, or "not observed enough"
    double value = 0.0;
    double halfWidth = 0.0;
    bool Observed() const { return text != "not observed enough"; }
};

// The fields of one CSV line (RFC 4180 quoting).
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> f(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); i++) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                f.back() += line[++i];
            else if (c == '"')
                quoted = false;
            else
                f.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            f.emplace_back();
        } else {
            f.back() += c;
        }
    }
    return f;
}

// The rows of a results file, by "variable@time".
std::map<std::string, Row> ReadResults(const std::string& text) {
    std::map<std::string, Row> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Fields(line);
        if (f.size() < 5)
            continue;
        Row r;
        r.variable = f[0];
        r.kind = f[1];
        r.time = f[2];
        r.text = f[3];
        r.value = r.Observed() ? std::stod(f[3]) : NAN;
        r.halfWidth = f[4].empty() ? 0.0 : std::stod(f[4]);
        rows[r.variable + "@" + r.time] = r;
    }
    return rows;
}

// The upper bound standard output gives for a result not observed enough
// ("<variable> at <time>: not observed enough: ...; it lies below <bound> ..."),
// or -1 when it has none.
double UpperBound(const std::string& out, const Row& row) {
    const std::string start = row.variable + " at " + row.time + ": not observed enough";
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const size_t below = line.find("; it lies below ");
        if (line.rfind(start, 0) == 0 && below != std::string::npos)
            return std::stod(line.substr(below + 16));
    }
    return -1.0;
}

// Whether a row's interval holds `exact`: mean +- half-width, or [0, bound] for a
// result observed too rarely for an interval.
bool Covers(const std::string& out, const Row& row, double exact) {
    if (!row.Observed())
        return exact >= 0.0 && exact <= UpperBound(out, row);
    return std::fabs(row.value - exact) <= row.halfWidth;
}

class SimExactTest : public ScratchTest {
  protected:
    SimExactTest() : ScratchTest("simexact") {}

    // Runs `program` with `args` for seeds 1 to `seeds` and counts, per expected row
    // (they must be all the rows of the results), the intervals that cover the exact
    // value.
    std::map<std::string, int> Coverage(const std::string& program, const std::string& args,
                                        const std::map<std::string, double>& exact, int seeds) {
        std::map<std::string, int> covered;
        for (int seed = 1; seed <= seeds; seed++) {
            const std::string name = "s" + std::to_string(seed);
            const RunResult r =
                Run(program, "-N" + name + " -S" + std::to_string(seed) + " " + args);
            EXPECT_EQ(r.status, 0) << r.err;
            const std::map<std::string, Row> rows = ReadResults(Output(name + ".csv"));
            EXPECT_EQ(rows.size(), exact.size()) << Output(name + ".csv");
            for (const auto& e : exact) {
                auto at = rows.find(e.first);
                EXPECT_NE(at, rows.end()) << e.first;
                if (at != rows.end() && Covers(r.out, at->second, e.second))
                    covered[e.first]++;
            }
        }
        return covered;
    }

    // At least `least` of `seeds` intervals cover the exact value, per row.
    void ExpectCoverage(const std::string& program, const std::string& args,
                        const std::map<std::string, double>& exact, int seeds, int least) {
        std::map<std::string, int> covered = Coverage(program, args, exact, seeds);
        for (const auto& e : exact)
            EXPECT_GE(covered[e.first], least) << e.first << " (exact " << e.second << ")";
    }
};

TEST_F(SimExactTest, TwoStateChainMatchesItsClosedForm) {
    const double lambda = 0.5, mu = 1.5, s = lambda + mu;
    const auto up = [&](double t) { return mu / s + lambda / s * std::exp(-s * t); };
    // The integral of up over [a, b].
    const auto upTime = [&](double a, double b) {
        return mu / s * (b - a) + lambda / (s * s) * (std::exp(-s * a) - std::exp(-s * b));
    };
    const std::map<std::string, double> exact = {
        {"up_at@0.5", up(0.5)},
        {"up_at@1", up(1.0)},
        {"up_at@2", up(2.0)},
        {"up_time@[0,2]", upTime(0, 2)},
        {"up_share@[1,3]", upTime(1, 3) / 2},
        // Failures come at rate lambda while up.
        {"failures@[0,2]", lambda * upTime(0, 2)},
        {"availability@-", mu / s},
    };
    ExpectCoverage(TestModel("simtest_two_state_sim"), "-n100 -r0 -a0 -w5 -b5 -k4", exact, 20, 17);
}

// 95% intervals must cover neither too rarely nor always: over 100 seeds a
// correct simulator covers 90 to 99 times with a probability of about 97%, and
// intervals that are too wide (covering every time) fail as surely as too narrow.
TEST_F(SimExactTest, NinetyFivePercentIntervalsCoverNinetyFivePercentOfTheTime) {
    const double lambda = 0.5, mu = 1.5, s = lambda + mu;
    const std::map<std::string, double> exact = {
        {"up_at@1", mu / s + lambda / s * std::exp(-s)},
        {"availability@-", mu / s},
    };
    // Every row of the run has its exact value; two of them are counted.
    const std::map<std::string, double> all = {
        {"up_at@0.5", mu / s + lambda / s * std::exp(-s * 0.5)},
        {"up_at@1", exact.at("up_at@1")},
        {"up_at@2", mu / s + lambda / s * std::exp(-s * 2)},
        {"up_time@[0,2]", mu / s * 2 + lambda / (s * s) * (1 - std::exp(-s * 2))},
        {"up_share@[1,3]", (mu / s * 2 + lambda / (s * s) * (std::exp(-s) - std::exp(-s * 3))) / 2},
        {"failures@[0,2]", lambda * (mu / s * 2 + lambda / (s * s) * (1 - std::exp(-s * 2)))},
        {"availability@-", mu / s},
    };
    const std::map<std::string, int> covered =
        Coverage(TestModel("simtest_two_state_sim"), "-n60 -r0 -a0 -w5 -b5 -k4", all, 100);
    for (const auto& e : exact) {
        EXPECT_GE(covered.at(e.first), 90) << e.first;
        EXPECT_LE(covered.at(e.first), 99) << e.first;
    }
}

// A disk array loses its data with a probability near 1e-8 by t = 1000: about 1e10
// plain replications would see it a hundred times. Importance splitting on the
// number of failed disks estimates it, and every other instant-of-time value,
// within intervals that cover the solver's exact values.
TEST_F(SimExactTest, ImportanceSplittingEstimatesARareEventExactly) {
    const RunResult g = Run(TestModel("simtest_raid"), "-P./ -Nexact -B0");
    ASSERT_EQ(g.status, 0) << g.err;
    const RunResult s = Run(std::string(GEN_BINARY_DIR) + "/solve", "-P./ -Nexact -e1e-16");
    ASSERT_EQ(s.status, 0) << s.out << s.err;
    std::map<std::string, Row> solved = ReadResults(Output("exact.csv"));
    const double loss = solved.at("data_loss@1000").value;
    ASSERT_GT(loss, 5e-9);
    ASSERT_LT(loss, 2e-8);
    const std::map<std::string, double> exact = {
        {"data_loss@1000", loss},
        {"failed_disks@1000", solved.at("failed_disks@1000").value},
    };
    std::map<std::string, int> covered;
    const int seeds = 10;
    for (int seed = 1; seed <= seeds; seed++) {
        const std::string name = "split" + std::to_string(seed);
        const RunResult r =
            Run(TestModel("simtest_raid_sim"),
                "-N" + name + " -S" + std::to_string(seed) + " -Ifailed_disks -e5000 -n48 -r0");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("importance splitting: 48 runs of 5000 paths per level, importance "
                             "failed_disks"),
                  std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("  to level 3: "), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("work: data_loss at 1000: plain replication would need about "),
                  std::string::npos)
            << r.out;
        const std::map<std::string, Row> rows = ReadResults(Output(name + ".csv"));
        for (const auto& e : exact) {
            const Row& row = rows.at(e.first);
            ASSERT_TRUE(row.Observed()) << e.first;
            // Not a plain count of events seen: far below what 48 replications resolve.
            EXPECT_LT(row.halfWidth, 0.5 * row.value) << e.first;
            if (Covers(r.out, row, e.second))
                covered[e.first]++;
        }
    }
    for (const auto& e : exact)
        EXPECT_GE(covered[e.first], 8) << e.first << " (exact " << e.second << ")";
}

TEST_F(SimExactTest, WeibullLifetimeWithFixedRepairMatchesTheRenewalArgument) {
    // Lifetimes L with survival R(t) = exp(-(t/scale)^shape), repairs of d.
    const double shape = 2, scale = 1, d = 1;
    const auto R = [&](double t) { return std::exp(-std::pow(t / scale, shape)); };
    const auto f = [&](double t) { return shape / scale * std::pow(t / scale, shape - 1) * R(t); };
    // Before d the component is up only if it has not failed. Up to 2d it is up if
    // it has not failed, or failed at x <= t - d, was repaired at x + d and has
    // lasted since.
    const auto upAt = [&](double t) {
        if (t < d)
            return R(t);
        const int n = 2000;
        const double h = (t - d) / n;
        double sum = 0.0;
        for (int k = 0; k <= n; k++) {
            const double x = k * h;
            const double w = k == 0 || k == n ? 1 : (k % 2 ? 4 : 2);
            sum += w * f(x) * R(t - d - x);
        }
        return R(t) + sum * h / 3;
    };
    const double meanLife = scale * std::tgamma(1 + 1 / shape);
    const std::map<std::string, double> exact = {
        {"up_at@0.5", upAt(0.5)},
        {"up_at@0.9", upAt(0.9)},
        {"up_at@1.5", upAt(1.5)},
        {"availability@-", meanLife / (meanLife + d)},
    };
    ExpectCoverage(TestModel("simtest_weibull_repair_sim"), "-n150 -r0 -a0 -w10 -b10 -k3", exact,
                   10, 8);
}

TEST_F(SimExactTest, TheBatchDiagnosticFiresOnCorrelatedBatchesOnly) {
    // The two-state chain forgets its past within a few time units: batches of 100
    // are independent by construction, batches of 0.05 are not (a state lasts about
    // 1 time unit). Each replication's own warm-up bias must not pass for correlation.
    const std::string program = TestModel("simtest_two_state_sim");
    for (int seed = 1; seed <= 10; seed++) {
        SCOPED_TRACE(seed);
        const std::string common = " -S" + std::to_string(seed) + " -n400 -r0 -a0 -k10 -w0.5";
        const RunResult independent = Run(program, "-Nind -b100" + common);
        ASSERT_EQ(independent.status, 0) << independent.err;
        EXPECT_EQ(independent.err.find("correlated"), std::string::npos) << independent.err;
        const RunResult slow = Run(program, "-Nslow -b0.05" + common);
        ASSERT_EQ(slow.status, 0) << slow.err;
        EXPECT_NE(slow.err.find("consecutive batch means are correlated (lag-1 autocorrelation 0."),
                  std::string::npos)
            << slow.err;
        EXPECT_NE(slow.err.find("a longer batch length (-b)"), std::string::npos);
    }
    // The repair example's availability lies near 1 with batch means a few 1e-5
    // apart: a correlation taken as E[xy] - mean^2 drowns in the rounding of those
    // squares (it said 0.93 and 1.43 here). Its pilot-chosen batches are independent.
    for (int seed = 1; seed <= 2; seed++) {
        const RunResult r =
            Run(TestModel("simtest_repair_sim"), "-Nrepair -S" + std::to_string(seed));
        EXPECT_EQ(r.err.find("correlated"), std::string::npos) << seed << r.err;
    }
}

TEST_F(SimExactTest, CasesWeightsAndRanksChooseWithTheirProbabilities) {
    const double fired = 1 - std::exp(-5.0);
    const std::map<std::string, double> exact = {
        {"x_won@5", 0.2 * 0.25 * fired},
        {"y_won@5", 0.2 * 0.75 * fired},
        {"hi_won@5", 0.8 * fired},
        {"lo_won@5", 0.0},
    };
    ExpectCoverage(TestModel("simtest_choices_sim"), "-n200 -r0 -a0", exact, 10, 8);
    // The lower rank never fires while the higher one is enabled with it.
    const RunResult r = Run(TestModel("simtest_choices_sim"), "-Nlo -n200 -r0 -a0");
    ASSERT_EQ(r.status, 0) << r.err;
    // Not seen at all: no interval, an upper bound.
    const Row lo = ReadResults(Output("lo.csv"))["lo_won@5"];
    EXPECT_FALSE(lo.Observed()) << lo.text;
    EXPECT_NE(r.out.find("lo_won at 5: not observed enough: seen in 0 of 200 replications"),
              std::string::npos)
        << r.out;
}

// An arc's multiplicity read from another place: the activity must follow that
// place too, or it fires with more tokens taken than its input holds.
TEST_F(SimExactTest, MultiplicitiesThatReadPlacesKeepTheEnablingExact) {
    const RunResult r = Run(TestModel("simtest_multiplicity_sim"), "-Nm -n400 -r0 -a0");
    ASSERT_EQ(r.status, 0) << r.err;
    std::map<std::string, Row> rows = ReadResults(Output("m.csv"));
    for (const char* t : {"1", "2", "5"})
        EXPECT_FALSE(rows["overdrawn@" + std::string(t)].Observed()) << t;
    // It does fire, while b is small.
    EXPECT_GT(rows["taken@5"].value, 0.5);
}

// The repair example of README's first model and the benchmark models at N = 2,
// against the solver's exact values of their chains.
TEST_F(SimExactTest, MarkovModelsAgreeWithTheSolver) {
    const std::string bench = std::string(GEN_BINARY_DIR) + "/bench/";
    const struct {
        std::string gen, sim, experiment;
        const char* args; // warm-up and batches of some thousand firings
    } models[] = {
        {TestModel("simtest_repair"), TestModel("simtest_repair_sim"), "0",
         "-n100 -r0 -a0 -w300 -b300 -k5"},
        {TestModel("simtest_repair"), TestModel("simtest_repair_sim"), "2",
         "-n100 -r0 -a0 -w300 -b300 -k5"},
        {bench + "gen_kanban", bench + "sim_kanban", "1", "-n30 -r0 -a0 -w2000 -b1000 -k5"},
        {bench + "gen_fms", bench + "sim_fms", "1", "-n30 -r0 -a0 -w20000 -b10000 -k5"},
    };
    for (const auto& m : models) {
        SCOPED_TRACE(m.sim + " -B" + m.experiment);
        const RunResult g = Run(m.gen, "-P./ -Nexact -B" + m.experiment);
        ASSERT_EQ(g.status, 0) << g.out << g.err;
        const RunResult s = Run(std::string(GEN_BINARY_DIR) + "/solve", "-P./ -Nexact");
        ASSERT_EQ(s.status, 0) << s.out << s.err;
        std::map<std::string, double> exact;
        for (const auto& row : ReadResults(Output("exact.csv")))
            exact[row.first] = row.second.value;
        ASSERT_GE(exact.size(), 2u);
        ExpectCoverage(m.sim, "-B" + m.experiment + " " + m.args, exact, 20, 17);
    }
}

// A compiled model declares which exponential rates never change, and the
// simulator stops following those; the hand-written models declare it for Kanban
// only. Rescaling a constant rate changes no time, so both simulate the same paths:
// a rate wrongly declared constant (FMS has rates that follow the marking) shows.
TEST_F(SimExactTest, CompiledModelsSimulateLikeTheHandWrittenOnes) {
    const std::string bench = std::string(GEN_BINARY_DIR) + "/bench/";
    for (const char* model : {"kanban", "fms"}) {
        SCOPED_TRACE(model);
        const std::string args = " -B1 -n40 -r0 -a0 -w500 -b500 -k3 -S3";
        const RunResult hand = Run(bench + "sim_" + model, "-Nhand" + args);
        ASSERT_EQ(hand.status, 0) << hand.err;
        const RunResult compiled = Run(bench + "gen_" + model + "_san_sim", "-Ncompiled" + args);
        ASSERT_EQ(compiled.status, 0) << compiled.err;
        EXPECT_EQ(Output("hand.csv"), Output("compiled.csv"));
        EXPECT_NE(Output("hand.csv").find(model[0] == 'k' ? "throughput" : "productivity"),
                  std::string::npos);
    }
}

// The example has deterministic delays, so the solver cannot give its exact values:
// a short run with another seed is checked against a long one (seed 1, 194848
// replications, every half-width below 1e-3; README has its command).
TEST_F(SimExactTest, ExampleAgreesWithItsLongRun) {
    const std::map<std::string, std::pair<double, double>> reference = {
        {"reliability@30", {0.00415708654951558, 0.000286}},
        {"reliability@180", {0.0248090819510597, 0.000691}},
        {"reliability@365", {0.0494488011167684, 0.000963}},
    };
    const RunResult r =
        Run(std::string(GEN_BINARY_DIR) + "/sim", "-Nex -B0 -n120 -r0 -a0 -S7 -L0.999");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::map<std::string, Row> rows = ReadResults(Output("ex.csv"));
    ASSERT_EQ(rows.size(), reference.size());
    for (const auto& x : reference) {
        const Row& y = rows.at(x.first);
        if (!y.Observed())
            EXPECT_GE(UpperBound(r.out, y), x.second.first - x.second.second) << x.first;
        else
            EXPECT_LE(std::fabs(y.value - x.second.first), y.halfWidth + x.second.second)
                << x.first << ": " << y.value << " +- " << y.halfWidth;
    }
}

} // namespace
