// The solve program run as a user runs it, on chains small enough to know their
// measures in closed form, on chains it must refuse, and on broken input files.
#include "solver/SolveFiles.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace solvetest;
using ::testing::HasSubstr;
using testsupport::RunResult;

class SolveProgramTest : public testsupport::ScratchTest {
  protected:
    SolveProgramTest() : ScratchTest("solveprog") {}

    RunResult Solve(const std::string& args, const std::string& setup = "") {
        return Run(SolveProgram(), args, setup);
    }
    std::vector<CsvRow> Results(const std::string& name = "m") {
        return ReadCsv(work / (name + ".csv"));
    }
};

// A variable that is 1 in `state` (1-based) and 0 elsewhere.
std::vector<double> Indicator(unsigned states, unsigned state) {
    std::vector<double> r(states, 0.0);
    r[state - 1] = 1.0;
    return r;
}

// Checks a transient row: the value within its own error bound of the exact
// one (plus rounding), and the bound itself within what was asked for.
void ExpectWithinBound(const CsvRow& row, double exact, double asked) {
    SCOPED_TRACE(row.variable + " at " + row.time);
    ASSERT_FALSE(row.error.empty());
    const double bound = std::stod(row.error);
    EXPECT_LE(bound, asked);
    EXPECT_NEAR(row.Value(), exact, bound + 1e-12 * std::max(1.0, std::fabs(exact)));
}

TEST_F(SolveProgramTest, TransientMeasuresMatchClosedForms) {
    // Two states: 1 -> 2 at lambda, 2 -> 1 at mu.
    const double lambda = 1.5, mu = 0.5;
    const std::vector<double> at = {0, 0.1, 1, 2.5, 10};
    Variable up{"up", 0, {}, Indicator(2, 1), {}};
    for (double t : at)
        up.times.push_back({t, t});
    // Pure death: 1 -> 2 at d, 2 absorbing, with every kind of transient measure.
    const double d = 2.0;
    Variable alive{"alive", 0, {{0.5, 0.5}, {3, 3}}, Indicator(2, 1), {}};
    Variable uptime{"uptime", 1, {{0, 0.5}, {0, 4}, {0.25, 1.5}}, Indicator(2, 1), {}};
    Variable share{"share", 2, {{0, 0.5}, {0.25, 1.5}}, Indicator(2, 1), {}};
    WriteModel(work, "m", 2, {{1, 2, lambda}, {2, 1, mu}}, {up});
    WriteModel(work, "d", 2, {{1, 2, d}}, {alive, uptime, share});

    RunResult r = Solve("-Nm");
    ASSERT_EQ(0, r.status) << r.err;
    std::vector<CsvRow> rows = Results("m");
    ASSERT_EQ(at.size(), rows.size());
    for (size_t k = 0; k < at.size(); k++) {
        const double t = at[k];
        EXPECT_EQ("instant", rows[k].kind);
        EXPECT_DOUBLE_EQ(t, std::stod(rows[k].time));
        ExpectWithinBound(
            rows[k], mu / (lambda + mu) + lambda / (lambda + mu) * std::exp(-(lambda + mu) * t),
            1e-10);
    }

    r = Solve("-Nd -e1e-12");
    ASSERT_EQ(0, r.status) << r.err;
    rows = Results("d");
    ASSERT_EQ(7u, rows.size());
    auto stay = [d](double a, double b) { return (std::exp(-d * a) - std::exp(-d * b)) / d; };
    ExpectWithinBound(rows[0], std::exp(-d * 0.5), 1e-12);
    ExpectWithinBound(rows[1], std::exp(-d * 3), 1e-12);
    EXPECT_EQ("interval", rows[2].kind);
    EXPECT_EQ("[0,0.5]", rows[2].time);
    ExpectWithinBound(rows[2], (1 - std::exp(-d * 0.5)) / d, 1e-11);
    ExpectWithinBound(rows[3], (1 - std::exp(-d * 4)) / d, 1e-11);
    ExpectWithinBound(rows[4], stay(0.25, 1.5), 1e-11);
    EXPECT_EQ("time-averaged", rows[5].kind);
    ExpectWithinBound(rows[5], stay(0, 0.5) / 0.5, 1e-11);
    ExpectWithinBound(rows[6], stay(0.25, 1.5) / 1.25, 1e-11);
}

TEST_F(SolveProgramTest, LargeUniformisationTimesStayAccurate) {
    // q t up to 1.5e6: e^-(q t) underflows long before, the Poisson weights must not.
    const double lambda = 1000, mu = 500;
    const std::vector<double> at = {0.001, 0.01, 1000};
    Variable up{"up", 0, {}, Indicator(2, 1), {}};
    for (double t : at)
        up.times.push_back({t, t});
    Variable mean{"mean", 2, {{0, 1000}}, Indicator(2, 1), {}};
    WriteModel(work, "m", 2, {{1, 2, lambda}, {2, 1, mu}}, {up, mean});
    RunResult r = Solve("-Nm -e1e-9");
    ASSERT_EQ(0, r.status) << r.err;
    const std::vector<CsvRow> rows = Results();
    ASSERT_EQ(4u, rows.size());
    const double s = lambda + mu;
    for (size_t k = 0; k < at.size(); k++)
        ExpectWithinBound(rows[k], mu / s + lambda / s * std::exp(-s * at[k]), 1e-9);
    // The time average over [0, T] of the closed form.
    const double T = 1000;
    ExpectWithinBound(rows[3], mu / s + lambda / (s * s * T) * (1 - std::exp(-s * T)), 1e-9);
}

struct Chain {
    unsigned states;
    std::vector<Transition> transitions;
    std::vector<double> reward;
    double expected;
};

Chain BirthDeath(unsigned states, double birth, double death) {
    Chain c{states, {}, {}, 0.0};
    std::vector<double> weight(states);
    double total = 0.0;
    // Weighed from the top state down when births outweigh deaths, so that steep
    // chains stay within the range of a double.
    const double ratio = birth / death;
    for (unsigned k = 0; k < states; k++) {
        weight[k] = ratio > 1.0 ? std::pow(1.0 / ratio, states - 1 - k) : std::pow(ratio, k);
        total += weight[k];
        c.reward.push_back(k);
        if (k + 1 < states) {
            c.transitions.push_back({k + 1, k + 2, birth});
            c.transitions.push_back({k + 2, k + 1, death});
        }
    }
    for (unsigned k = 0; k < states; k++)
        c.expected += k * weight[k] / total;
    return c;
}

// A cycle through the states, state k (1-based) leaving for the next at rate k: as
// many distinct rates as states. In the long run state k holds (1 / k) / H, H the sum
// of 1 / k, so that the flow round the cycle (the reward k in state k) is states / H.
Chain Cycle(unsigned states) {
    Chain c{states, {}, {}, 0.0};
    double harmonic = 0.0;
    for (unsigned k = 1; k <= states; k++) {
        c.transitions.push_back({k, k % states + 1, static_cast<double>(k)});
        c.reward.push_back(k);
        harmonic += 1.0 / k;
    }
    c.expected = states / harmonic;
    return c;
}

TEST_F(SolveProgramTest, SteadyStateMatchesClosedFormsWithEveryMethod) {
    const double lambda = 1.5, mu = 0.5;
    // The cycles have the most distinct rates that an index per entry into a table of
    // them can tell apart (65536), and one more, which makes every entry keep its rate.
    std::vector<Chain> chains = {{2, {{1, 2, lambda}, {2, 1, mu}}, {1, 0}, mu / (lambda + mu)},
                                 BirthDeath(6, 2.0, 3.0),
                                 BirthDeath(40, 3.0, 2.0),
                                 Cycle(65536),
                                 Cycle(65537)};
    // Transient states before the bottom component have probability 0: a start
    // state 1 that leaves for the two-state loop {2, 3} and never comes back.
    chains.push_back({3, {{1, 2, 7.0}, {2, 3, lambda}, {3, 2, mu}}, {5, 1, 0}, mu / (lambda + mu)});
    for (const char* method : {"", "-mauto", "-mlu", "-mgs", "-mbicgstab"}) {
        for (size_t c = 0; c < chains.size(); c++) {
            SCOPED_TRACE(std::string("method [") + method + "] chain " + std::to_string(c));
            Variable v{"v", 3, {}, chains[c].reward, {}};
            WriteModel(work, "m", chains[c].states, chains[c].transitions, {v});
            RunResult r = Solve(std::string("-Nm ") + method);
            ASSERT_EQ(0, r.status) << r.err;
            const std::vector<CsvRow> rows = Results();
            ASSERT_EQ(1u, rows.size());
            EXPECT_EQ("steady-state", rows[0].kind);
            EXPECT_NEAR(chains[c].expected, rows[0].Value(), 1e-8 * chains[c].expected);
            ASSERT_FALSE(rows[0].residual.empty());
            EXPECT_LE(std::stod(rows[0].residual), 1e-9);
        }
    }
}

// The initial state of these chains has a long-run probability far below the
// smallest double (1e4^-99 and less): pinned to 1, it scaled the others past the
// largest double, and the values came out as "-nan". Every method must find the
// distribution all the same: 100 states are solved directly, 3000 by sweeps.
TEST_F(SolveProgramTest, AStateOfVanishingProbabilityIsNeverPinned) {
    const std::vector<Chain> chains = {BirthDeath(100, 1e4, 1.0), BirthDeath(3000, 1e4, 1.0),
                                       BirthDeath(3000, 1e3, 7.0)};
    for (const char* method : {"", "-mlu", "-mgs", "-mbicgstab"}) {
        for (size_t c = 0; c < chains.size(); c++) {
            SCOPED_TRACE(std::string("method [") + method + "] chain " + std::to_string(c));
            Variable mean{"mean", 3, {}, chains[c].reward, {}};
            Variable first{"first", 3, {}, Indicator(chains[c].states, 1), {}};
            WriteModel(work, "m", chains[c].states, chains[c].transitions, {mean, first});
            RunResult r = Solve(std::string("-Nm ") + method);
            ASSERT_EQ(0, r.status) << r.err;
            EXPECT_THAT(r.out, ::testing::Not(HasSubstr("nan")));
            EXPECT_THAT(r.out, ::testing::Not(HasSubstr("inf")));
            const std::vector<CsvRow> rows = Results();
            ASSERT_EQ(2u, rows.size());
            EXPECT_NEAR(chains[c].expected, rows[0].Value(), 1e-9 * chains[c].expected);
            EXPECT_LE(std::stod(rows[0].residual), 1e-9);
            // Exact within the residual only: far from its true 1e-400.
            EXPECT_GE(rows[1].Value(), 0.0);
            EXPECT_LE(rows[1].Value(), 1e-9);
        }
    }
}

// A value beyond the range of a double is refused with the reason, never printed as
// "inf" or "nan", and the other values are computed.
TEST_F(SolveProgramTest, ValuesBeyondTheRangeOfADoubleAreRefused) {
    const std::vector<double> huge = {1e305, 1e305};
    Variable total{"total", 1, {{0, 1e5}}, huge, {}};
    Variable average{"average", 2, {{0, 1e5}}, huge, {}};
    Variable now{"now", 0, {{1, 1}}, huge, {}};
    WriteModel(work, "m", 2, {{1, 2, 1.0}, {2, 1, 1.0}}, {total, average, now});
    RunResult r = Solve("-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err,
                HasSubstr("m.var: variable total: its value at [0,100000] came out infinite"));
    EXPECT_THAT(r.err, HasSubstr("variable average: its value at [0,100000] came out infinite"));
    EXPECT_THAT(r.err, HasSubstr("beyond the range of a double"));
    EXPECT_THAT(r.out, ::testing::Not(HasSubstr("inf")));
    EXPECT_THAT(r.out, ::testing::Not(HasSubstr("nan")));
    const std::vector<CsvRow> rows = Results();
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("refused", rows[0].value);
    EXPECT_EQ("", rows[0].error);
    EXPECT_EQ("refused", rows[1].value);
    EXPECT_NEAR(1e305, rows[2].Value(), 1e295);
}

TEST_F(SolveProgramTest, RatesKeptInATableOrPerEntryGiveTheSameResults) {
    // A birth-death chain beside a cycle of states it never reaches, all of whose
    // rates differ: with a short cycle the chain's few rates are kept in a table, with
    // one of 65537 states every entry keeps its own rate. The cycle's rates stay below
    // the chain's exit rates, so that the uniformisation rate is the chain's, and the
    // results on the chain are the same to the last digit either way.
    const Chain c = BirthDeath(40, 3.0, 2.0);
    auto write = [&](unsigned loop) {
        std::vector<Transition> transitions = c.transitions;
        for (unsigned k = 1; k <= loop; k++)
            transitions.push_back(
                {c.states + k, c.states + k % loop + 1, 1.0 + 1e-5 * static_cast<double>(k)});
        const unsigned states = c.states + loop;
        std::vector<double> reward = c.reward;
        reward.resize(states, 0.0);
        std::vector<double> first(states, 0.0);
        first[0] = 1.0;
        Variable mean{"mean", 3, {}, reward, {}};
        Variable now{"now", 0, {{0.5, 0.5}, {4, 4}, {30, 30}}, reward, {}};
        Variable stay{"stay", 2, {{0, 2}, {1, 20}}, first, {}};
        WriteModel(work, "m", states, transitions, {mean, now, stay});
    };
    for (const char* method : {"", "-mlu", "-mgs", "-mbicgstab"}) {
        SCOPED_TRACE(std::string("method [") + method + "]");
        std::vector<std::vector<CsvRow>> results;
        for (unsigned loop : {100u, 65537u}) {
            write(loop);
            RunResult r = Solve(std::string("-Nm -e1e-12 ") + method);
            ASSERT_EQ(0, r.status) << r.err;
            results.push_back(Results());
        }
        ASSERT_EQ(6u, results[0].size());
        ASSERT_EQ(results[0].size(), results[1].size());
        EXPECT_NEAR(c.expected, results[0][0].Value(), 1e-8 * c.expected);
        for (size_t k = 0; k < results[0].size(); k++) {
            const CsvRow &a = results[0][k], &b = results[1][k];
            SCOPED_TRACE(a.variable + " at " + a.time);
            EXPECT_EQ(a.time, b.time);
            EXPECT_EQ(a.value, b.value);
            EXPECT_EQ(a.error, b.error);
            EXPECT_EQ(a.residual, b.residual);
        }
    }
}

// Chains that end in one of several bottom components (an absorbing state is one of
// a single state): the long run is each component's own steady state weighted by the
// probability of entering it from state 1, and those probabilities are reported.
// Worked by hand: in the last chain, h_i the probability of ending in state 4 from
// state i, h_3 = 1/2, h_2 = (h_1 + 3) / 4, h_1 = (h_2 + 2 h_3) / 3, so h_1 = 7/11; in
// {5, 6} state 6 holds 2/3.
TEST_F(SolveProgramTest, ReducibleChainsWeighTheirBottomComponents) {
    struct Case {
        const char* what;
        unsigned states;
        std::vector<Transition> transitions;
        double mean;                    // the long-run value of the state number
        double last;                    // of the indicator of the last state
        double leave;                   // state 1's exit rate, or 0 when it is re-entered
        std::vector<std::string> lines; // the absorption report, when there is one
    };
    const std::vector<Case> cases = {
        {"two closed loops",
         5,
         {{1, 2, 1}, {1, 4, 3}, {2, 3, 1}, {3, 2, 1}, {4, 5, 1}, {5, 4, 3}},
         0.25 * 2.5 + 0.75 * (4 * 0.75 + 5 * 0.25),
         0.75 * 0.25,
         4.0,
         {"absorption: 2 bottom components entered from state 1 through 1 transient states "
          "(sparse LU, residual 0); probability of each:",
          "  0.75  2 states from state 4", "  0.25  2 states from state 2"}},
        {"a loop and an absorbing state",
         4,
         {{1, 2, 1}, {1, 4, 1}, {2, 3, 1}, {3, 2, 1}},
         0.5 * 2.5 + 0.5 * 4,
         0.5,
         2.0,
         {"  0.5  2 states from state 2", "  0.5  state 4 (absorbing)"}},
        {"pure death", 2, {{1, 2, 2.0}}, 2.0, 1.0, 2.0, {}},
        {"worked by hand",
         6,
         {{1, 2, 1}, {1, 3, 2}, {2, 1, 1}, {2, 4, 3}, {3, 4, 1}, {3, 5, 1}, {5, 6, 2}, {6, 5, 1}},
         152.0 / 33.0,
         8.0 / 33.0,
         0.0,
         {"through 3 transient states", "  0.636363636363636  state 4 (absorbing)",
          "  0.363636363636364  2 states from state 5"}},
    };
    for (const char* method : {"", "-mlu", "-mgs", "-mbicgstab"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", method [" + method + "]");
            std::vector<double> number;
            for (unsigned k = 1; k <= c.states; k++)
                number.push_back(k);
            Variable mean{"mean", 3, {}, number, {}};
            Variable last{"last", 3, {}, Indicator(c.states, c.states), {}};
            Variable now{"now", 0, {{0.5, 0.5}}, Indicator(c.states, 1), {}};
            WriteModel(work, "m", c.states, c.transitions, {mean, last, now});
            RunResult r = Solve(std::string("-Nm ") + method);
            ASSERT_EQ(0, r.status) << r.err;
            for (const std::string& line : c.lines)
                EXPECT_THAT(r.out, HasSubstr(line));
            if (c.lines.empty()) {
                EXPECT_THAT(r.out, ::testing::Not(HasSubstr("absorption")));
            }
            const std::vector<CsvRow> rows = Results();
            ASSERT_EQ(3u, rows.size());
            EXPECT_NEAR(c.mean, rows[0].Value(), 1e-12 * c.mean);
            EXPECT_NEAR(c.last, rows[1].Value(), 1e-12);
            EXPECT_LE(std::stod(rows[0].residual), 1e-9);
            if (c.leave > 0.0)
                ExpectWithinBound(rows[2], std::exp(-c.leave * 0.5), 1e-10);
        }
    }
}

// Beyond the states factorised directly, the entry probabilities come from BiCGSTAB:
// a line of n transient states, each passed on at rate 1 and left for the absorbing
// state B at rate e, the last one ending in the absorbing state C. The chain reaches
// C with probability (1 + e)^-n.
TEST_F(SolveProgramTest, ManyTransientStatesReachTheirComponentsByAnIterativeSolution) {
    const unsigned n = 60000; // above Absorption::kDirectLimit
    const double e = 1e-5;
    const unsigned b = n + 1, c = n + 2;
    std::vector<Transition> transitions;
    for (unsigned k = 1; k <= n; k++) {
        transitions.push_back({k, k < n ? k + 1 : c, 1.0});
        transitions.push_back({k, b, e});
    }
    Variable ended{"ended_in_c", 3, {}, Indicator(c, c), {}};
    WriteModel(work, "m", c, transitions, {ended});
    RunResult r = Solve("-Nm");
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_THAT(r.out, HasSubstr("absorption: 2 bottom components entered from state 1 through "
                                 "60000 transient states (BiCGSTAB, residual"));
    const std::vector<CsvRow> rows = Results();
    ASSERT_EQ(1u, rows.size());
    const double expected = std::pow(1.0 + e, -static_cast<double>(n));
    EXPECT_NEAR(expected, rows[0].Value(), 1e-9 * expected);
    EXPECT_LE(std::stod(rows[0].residual), 1e-9);
}

TEST_F(SolveProgramTest, DeterministicChainsAreRefused) {
    Variable v{"v", 0, {{1, 1}}, Indicator(2, 1), {}};
    // A negative entry is a deterministic firing.
    WriteModel(work, "m", 2, {{1, 2, 1.0}, {2, 1, -1.0}}, {v});
    RunResult r = Solve("-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("m.arm:10: the chain has deterministic delays"));
    EXPECT_THAT(r.err, HasSubstr("use the simulator (<model>_sim; sim for the example) instead"));
    EXPECT_FALSE(Exists("m.csv"));

    // A file of deterministic delays beside an otherwise solvable chain.
    WriteModel(work, "m", 2, {{1, 2, 1.0}, {2, 1, 1.0}}, {v});
    WriteText(work / "m.det", "1\n1.0000000000e+00\n2\n0\n");
    r = Solve("-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("m.det: the chain has deterministic delays"));
    EXPECT_THAT(r.err, HasSubstr("use the simulator (<model>_sim; sim for the example)"));
    EXPECT_FALSE(Exists("m.csv"));
}

// Files of an older gen, without the reward-rate file: the rate at which impulses
// are earned is unknown, so a variable that shows one is refused, except at an
// instant of time, where no impulse counts.
TEST_F(SolveProgramTest, ImpulseRewardsWithoutTheirRatesAreRefusedAndTheOtherVariablesComputed) {
    Variable impulse{"fired", 1, {{0, 1}}, {0, 0}, {0, 2.5}};
    Variable plain{"up", 0, {{1, 1}}, Indicator(2, 1), {}};
    Variable instant{"up_too", 0, {{1, 1}}, Indicator(2, 1), {0, 2.5}};
    WriteModel(work, "m", 2, {{1, 2, 1.0}}, {impulse, plain, instant});
    RunResult r = Solve("-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("variable fired: impulse rewards (state 2 has 2.5): the rate at "
                                 "which they are earned is in m.rates, which is missing"));
    EXPECT_THAT(r.out, HasSubstr("note: m.rates is missing"));
    EXPECT_THAT(r.out, HasSubstr("note: variable up_too is measured at instants of time"));
    const std::vector<CsvRow> rows = Results();
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("refused", rows[0].value);
    ExpectWithinBound(rows[1], std::exp(-1.0), 1e-10);
    ExpectWithinBound(rows[2], std::exp(-1.0), 1e-10);
}

TEST_F(SolveProgramTest, BrokenInputIsReportedWithFileAndLine) {
    // Each case breaks one file of a sound two-state model.
    const std::string arm = ArmText(2, {{1, 2, 1.5}, {2, 1, 0.5}});
    Variable v{"v", 0, {{1, 1}}, {1, 0}, {}};
    const std::string var = VarText({v}, 2);
    const std::string pvtype = PvTypeText({v});
    auto replace = [](std::string s, const std::string& from, const std::string& to) {
        const size_t at = s.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        return at == std::string::npos ? s : s.replace(at, from.size(), to);
    };
    struct Case {
        const char* what;
        const char* file; // suffix of the broken file; "" removes it
        std::string text;
        std::string message;
    };
    // The arm file's lines: 1 type, 2 count, 3 blanks, 4 "1", 5 "2", 6 rate, 7 "0",
    // 8 "2", 9 "1", 10 rate, 11 "0".
    const std::vector<Case> cases = {
        {"unknown file type", ".arm", replace(arm, "1\n2\n", "7\n2\n"),
         "m.arm:1: unknown state-space file type"},
        {"count not a number", ".arm", replace(arm, "1\n2\n", "1\ntwo\n"),
         "m.arm:2: the number of states is not a whole number"},
        {"truncated record", ".arm", arm.substr(0, arm.find("0\n2\n") + 4),
         "m.arm:9: unexpected end of file in the record of state 2"},
        {"truncated after a destination", ".arm", arm.substr(0, arm.rfind("1\n5.")) + "1\n",
         "m.arm:10: unexpected end of file in the record of state 2: expected the rate to 1"},
        {"destination out of range", ".arm", replace(arm, "\n2\n1.5", "\n3\n1.5"),
         "m.arm:5: destination state 3 is out of range 1 to 2"},
        {"rate not a number", ".arm", replace(arm, "1.5000000000e+00", "fast"),
         "m.arm:6: rate is not a number: \"fast\""},
        {"rate with trailing text", ".arm", replace(arm, "1.5000000000e+00", "1.5x"),
         "m.arm:6: rate is not a number"},
        {"record out of order", ".arm", replace(arm, "0\n2\n", "0\n3\n"),
         "m.arm:8: expected the record of state 2, found \"3\""},
        {"extra text", ".arm", arm + "3\n", "m.arm:12: unexpected text after the record"},
        {"duplicate destination", ".arm",
         replace(arm, "2\n1.5000000000e+00\n", "2\n1.5000000000e+00\n2\n1.5000000000e+00\n"),
         "m.arm:7: destination 2 follows destination 2 in the record of state 1: the "
         "destinations of a record are ascending, each once"},
        {"header larger than the records", ".arm", replace(arm, "1\n2\n", "1\n400000000\n"),
         "m.arm:12: unexpected end of file: expected the record of state 3 of 400000000"},
        {"fewer reward states", ".var", var.substr(0, var.find("2\n0\n0\n")),
         "m.var:5: the rewards cover 1 state but the chain has 2 states"},
        {"more reward states", ".var", var + "3\n0\n1\n",
         "m.var:8: the rewards cover more states than the chain's 2 states"},
        {"reward not a number", ".var", replace(var, "1\n0\n1\n", "1\n0\nx\n"),
         "m.var:4: reward value is not a number"},
        {"wrong variable name", ".var", replace(var, "v\n", "w\n"), "m.var:1: variable name"},
        {"unknown kind", ".pvtype", replace(pvtype, "Type:0", "Type:7"),
         "m.pvtype:4: unknown performance-variable kind \"7\""},
        {"negative time", ".pvtype", replace(pvtype, "Start:1\nStop:1", "Start:-1\nStop:-1"),
         "m.pvtype:6: time point is negative: -1"},
        {"time not a number", ".pvtype", replace(pvtype, "Stop:1", "Stop:soon"),
         "m.pvtype:7: time point is not a number: \"soon\""},
        {"instant with two times", ".pvtype", replace(pvtype, "Stop:1", "Stop:2"),
         "m.pvtype:7: an instant-of-time point has Start 1 and Stop 2"},
        {"missing field", ".pvtype", replace(pvtype, "NumTimes:1\n", ""),
         "m.pvtype:5: expected NumTimes:"},
        {"missing state space", ".arm", "", "m.arm: cannot open"},
        {"missing rewards", ".var", "", "m.var: cannot open"},
        {"missing types", ".pvtype", "", "m.pvtype: cannot open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteText(work / "m.arm", arm);
        WriteText(work / "m.var", var);
        WriteText(work / "m.pvtype", pvtype);
        if (c.text.empty())
            std::filesystem::remove(work / (std::string("m") + c.file));
        else
            WriteText(work / (std::string("m") + c.file), c.text);
        RunResult r = Solve("-Nm");
        EXPECT_EQ(1, r.status);
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_FALSE(Exists("m.csv"));
    }
    // The sound files, for contrast, solve.
    WriteText(work / "m.arm", arm);
    WriteText(work / "m.var", var);
    WriteText(work / "m.pvtype", pvtype);
    EXPECT_EQ(0, Solve("-Nm").status);
}

TEST_F(SolveProgramTest, ASetBeingReplacedIsNotRead) {
    Variable v{"v", 0, {{1, 1}}, {1, 0}, {}};
    WriteModel(work, "m", 2, {{1, 2, 1.5}, {2, 1, 0.5}}, {v});
    WriteText(work / "m.commit", "gen is replacing these results\n");
    const RunResult r = Solve("-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("m.commit: the files of m are being replaced by gen, or were "
                                 "left half-replaced by a run that was killed; run gen again"));
    EXPECT_FALSE(Exists("m.csv"));
}

TEST_F(SolveProgramTest, AHeaderCountIsNotTrustedWithMemory) {
    if (testsupport::kSanitized)
        GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
    // 400 million states claimed by a file of a few bytes: the memory goes with the
    // records read, so the run ends at the end of the file, within 200 MB.
    Variable v{"v", 0, {{1, 1}}, {1, 0}, {}};
    WriteModel(work, "m", 2, {{1, 2, 1.5}, {2, 1, 0.5}}, {v});
    std::string arm = testsupport::ReadFile(work / "m.arm");
    arm.replace(arm.find("1\n2\n"), 4, "1\n400000000\n");
    WriteText(work / "m.arm", arm);
    const RunResult r = Solve("-Nm", "ulimit -v 200000 && ");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("expected the record of state 3 of 400000000"));
}

TEST_F(SolveProgramTest, TransientsThatWouldNeverEndAreRefusedBeforeAnyWork) {
    // Rate times time beyond 1e9 steps: a huge time, or a huge rate.
    Variable far{"far", 0, {{1e308, 1e308}}, {1, 0}, {}};
    Variable near{"near", 0, {{1, 1}}, {1, 0}, {}};
    WriteModel(work, "m", 2, {{1, 2, 1.5}, {2, 1, 0.5}}, {far, near});
    RunResult r = Solve("-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("variable far: its time 1e+308 needs about 1.5e+308 steps of "
                                 "uniformisation (the largest exit rate 1.5 times the time), "
                                 "more than 1e+09: ask for an earlier time"));
    const std::vector<CsvRow> rows = Results();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("refused", rows[0].value);
    EXPECT_NE("refused", rows[1].value);

    WriteModel(work, "m", 2, {{1, 2, 1e23}, {2, 1, 4294967295.0}}, {near});
    r = Solve("-Nm");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("variable near: its time 1 needs about 1e+23 steps"));

    WriteModel(work, "m", 2, {{1, 2, 1.5}, {2, 1, 0.5}}, {near});
    std::filesystem::remove(work / "m.csv");
    r = Solve("-Nm -g0:1e308:5");
    EXPECT_EQ(1, r.status);
    EXPECT_THAT(r.err, HasSubstr("-g: the grid's end 1e+308 needs about"));
    EXPECT_FALSE(Exists("m.csv"));
}

TEST_F(SolveProgramTest, BadOptionsAreReported) {
    Variable v{"v", 0, {{1, 1}}, {1, 0}, {}};
    WriteModel(work, "m", 2, {{1, 2, 1.0}}, {v});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"-Nm -x", "unknown option -x"},
        {"-Nm -e", "option -e needs a value"},
        {"-Nm -e0", "option -e needs a number above 0"},
        {"-Nm -e2", "option -e needs a number above 0 and below 1"},
        {"-Nm -rfast", "option -r needs a number"},
        {"-Nm -g2:1:5", "option -g needs <start>:<stop>:<points>"},
        {"-Nm -g0:1", "option -g needs"},
        {"-Nm -g0:1:1", "option -g needs"},
        {"-Nm -mnewton", "option -m needs auto, lu, gs or bicgstab"},
        {"-Nm stray", "unexpected argument \"stray\""},
        {"-P.", "missing experiment name (-N)"},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(args);
        RunResult r = Solve(args);
        EXPECT_EQ(1, r.status);
        EXPECT_THAT(r.err, HasSubstr(message));
        EXPECT_FALSE(Exists("m.csv"));
    }
    for (const char* args : {"", "-h", "-Nm -h"}) {
        RunResult r = Solve(args);
        EXPECT_EQ(0, r.status) << args;
        EXPECT_THAT(r.out, HasSubstr("usage:  solve -P<prefix> -N<name>"));
    }
}

TEST_F(SolveProgramTest, FilesAreNamedLikeGensAndTheTableMatchesTheCsv) {
    std::filesystem::create_directory(work / "out");
    Variable up{"up", 0, {{0, 0}, {1, 1}}, {2, 0}, {}};
    Variable run{"run", 1, {{0, 1}}, {1, 0}, {}};
    WriteModel(work / "out", "x", 2, {{1, 2, 1.0}, {2, 1, 1.0}}, {up, run});
    RunResult r = Solve("-P out/ -Nx -g0:2:5");
    ASSERT_EQ(0, r.status) << r.err;
    // No temporaries stay behind; the CSV and one plot per instant variable are there.
    EXPECT_EQ(testsupport::Listing(work / "out"),
              (std::vector<std::string>{"x.arm", "x.csv", "x.pvtype", "x.var", "x_up.svg"}));
    const std::vector<CsvRow> rows = Results("out/x");
    ASSERT_EQ(3u, rows.size());
    // At time 0 the value is the reward of state 1, with no error.
    EXPECT_EQ("2", rows[0].value);
    EXPECT_EQ("0", rows[0].error);
    // Every row of the CSV is a line of the table, field for field.
    for (const CsvRow& row : rows) {
        bool found = false;
        std::istringstream table(r.out);
        for (std::string line; std::getline(table, line);) {
            std::istringstream words(line);
            std::vector<std::string> w;
            for (std::string x; words >> x;)
                w.push_back(x);
            if (w.size() >= 5 && w[0] == row.variable && w[2] == row.time && w[3] == row.value &&
                w[4] == row.error)
                found = true;
        }
        EXPECT_TRUE(found) << row.variable << " " << row.time << " not in\n" << r.out;
    }

    // An explicit CSV name; the plot has its axes, titles and one point per time.
    r = Solve("-Pout/ -Nx -c results.csv -g0:2:5");
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(3u, ReadCsv(work / "results.csv").size());
    const std::string svg = Output("out/x_up.svg");
    EXPECT_THAT(svg, HasSubstr("<svg"));
    EXPECT_THAT(svg, HasSubstr(">time</text>"));
    EXPECT_THAT(svg, HasSubstr(">up</text>"));
    EXPECT_THAT(svg, HasSubstr(">0.5</text>")); // a time tick
    size_t points = 0;
    for (size_t at = svg.find("<circle"); at != std::string::npos; at = svg.find("<circle", at + 1))
        points++;
    EXPECT_EQ(5u, points);
}

} // namespace
