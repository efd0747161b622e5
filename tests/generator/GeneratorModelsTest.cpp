// Whole runs of the small test models: every output file and the console report
// are compared byte for byte with files worked out by hand, masking only the
// computation time.
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

using ::testing::HasSubstr;
using ::testing::Not;
using testsupport::RunResult;

namespace {

// The time varies from run to run; everything else must not.
std::string MaskTime(const std::string& text) {
    static const std::regex report("Computation Time \\(user \\+ system\\): \\S+ seconds");
    static const std::regex traced("Computation time \\(user \\+ system\\): \\S+");
    std::string masked =
        std::regex_replace(text, report, "Computation Time (user + system): X seconds");
    return std::regex_replace(masked, traced, "Computation time (user + system): X");
}

// First lines of a state-space file of the normal exploration: the count written
// over a placeholder of 63 blanks.
std::string NormalHeader(unsigned count) {
    std::string n = std::to_string(count);
    return "1\n" + n + "\n" + std::string(62 - n.size(), ' ') + "\n";
}

// The same for the deterministic exploration, whose placeholder has 8 blanks.
std::string DetHeader(unsigned count) {
    std::string n = std::to_string(count);
    return "1\n" + n + "\n" + std::string(7 - n.size(), ' ') + "\n";
}

class GeneratorModelsTest : public testsupport::ScratchTest {
  protected:
    GeneratorModelsTest() : ScratchTest("genmodels") {}

    // Runs one of the test models, named as in tests/models.
    RunResult Run(const std::string& model, const std::string& args) {
        return ScratchTest::Run(testsupport::TestModel(model), args);
    }
};

// ---------------------------------------------------------------- exponential model

const char kExpListing0[] = "path=[./]\n"
                            "The Global Variable values for experiment Experiment 1 are:\n"
                            "start_tokens\tshort\t1\n"
                            "count_limit\tshort\t0\n"
                            "SSG: SetTraceLevel: 0\n";

const char kExpChainRecords[] = "1\n2\n2.5000000000e+00\n0\n"
                                "2\n1\n6.0000000000e-01\n2\n2.5000000000e-01\n"
                                "3\n4.0000000000e-01\n0\n"
                                "3\n0\n";

TEST_F(GeneratorModelsTest, ExpModelSumsParallelRatesAndKeepsSelfLoops) {
    RunResult r = Run("exp_model", "-P./ -Nrun -B0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(MaskTime(r.out), std::string(kExpListing0) +
                                   "_$3$\n"
                                   "Generated: 3 states\n"
                                   "Computation Time (user + system): X seconds\n");
    // move_fast (2.0) and move_slow (0.5) reach one state: one entry of 2.5. The
    // idle self-loop of state 2 is an entry with its own number; the cases of
    // finish split rate 1.0 as 0.4 and 0.6.
    EXPECT_EQ(Output("run.arm"), NormalHeader(3) + kExpChainRecords);
    EXPECT_EQ(Output("run.var"), "done\n1\n0\n0\n2\n0\n0\n3\n0\n1\n");
    EXPECT_EQ(Output("run.pvtype"),
              "Version:1\nNumPV:1\nName:done\nType:0\nNumTimes:1\nStart:10\nStop:10\n");
    EXPECT_FALSE(Exists("run.det")) << "the normal exploration writes no det file";
}

TEST_F(GeneratorModelsTest, ExpModelReportsInScientificNotation) {
    RunResult r = Run("exp_model", "-P./ -Nrun -B0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\nComputation Time \\(user \\+ system\\): "
                                                    "[0-9]\\.[0-9]{6}e[-+][0-9]{2} seconds\n$")))
        << r.out;
}

TEST_F(GeneratorModelsTest, ExpModelReportsAbsorbingStatesOnlyWhenAsked) {
    RunResult plain = Run("exp_model", "-P./ -Nplain -B0");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_THAT(plain.out, Not(HasSubstr("absorbing")));

    RunResult asked = Run("exp_model", "-P./ -Nasked -B0 -a");
    ASSERT_EQ(asked.status, 0) << asked.err;
    // At trace level 0 the state dump still goes to the trace sink, standard output.
    EXPECT_EQ(MaskTime(asked.out), std::string(kExpListing0) +
                                       "absorbing state\n"
                                       "  Model: (2)exp_system\n"
                                       "    a = 0\n"
                                       "    b = 0\n"
                                       "    c = 1\n"
                                       "    count = 0\n"
                                       "_$3$\n"
                                       "Generated: 3 states\n"
                                       "Computation Time (user + system): X seconds\n");
    EXPECT_EQ(Output("asked.arm"), Output("plain.arm"));
    EXPECT_EQ(Output("asked.var"), Output("plain.var"));
}

TEST_F(GeneratorModelsTest, ExpModelSingleStateWithoutEnabledAction) {
    RunResult r = Run("exp_model", "-P./ -Nrun -B1");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("SSG: SetTraceLevel: 0\n_$1$\nGenerated: 1 states\n"));
    EXPECT_EQ(Output("run.arm"), "1\n1\n" + std::string(61, ' ') + "\n1\n0\n");
    EXPECT_EQ(Output("run.var"), "done\n1\n0\n0\n");
}

TEST_F(GeneratorModelsTest, ExpModelCounterWritesProgressEveryThousandStates) {
    const unsigned states = 2346;
    RunResult r = Run("exp_model", "-P./ -Nrun -B2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("SSG: SetTraceLevel: 0\n"
                                 "_$1000$\n_$2000$\n_$2346$\n"
                                 "Generated: 2346 states\n"));

    std::string arm = NormalHeader(states);
    std::string var = "done\n";
    for (unsigned n = 1; n <= states; n++) {
        arm += std::to_string(n) + "\n";
        if (n < states)
            arm += std::to_string(n + 1) + "\n1.0000000000e+00\n";
        arm += "0\n";
        var += std::to_string(n) + "\n0\n0\n";
    }
    EXPECT_EQ(Output("run.arm"), arm);
    EXPECT_EQ(Output("run.var"), var);
}

// ---------------------------------------------------------------- instantaneous model

struct InstCase {
    int experiment;
    const char* what;
    unsigned states;
    const char* records;
    const char* rewards;
};

TEST_F(GeneratorModelsTest, InstModelSplitsRatesOverStableStates) {
    const InstCase cases[] = {
        {0, "weights 1 and 3 split rate 2.0", 3,
         "1\n2\n5.0000000000e-01\n3\n1.5000000000e+00\n0\n2\n0\n3\n0\n",
         "where\n1\n0\n0\n2\n0\n1\n3\n0\n10\n"},
        {1, "the rank-2 right side alone fires", 2, "1\n2\n2.0000000000e+00\n0\n2\n0\n",
         "where\n1\n0\n0\n2\n0\n10\n"},
        {2, "the rank-2 left side alone fires", 2, "1\n2\n2.0000000000e+00\n0\n2\n0\n",
         "where\n1\n0\n0\n2\n0\n1\n"},
        {3, "two paths ending in one state add up", 2, "1\n2\n2.0000000000e+00\n0\n2\n0\n",
         "where\n1\n0\n0\n2\n0\n100\n"},
        {4, "a path back to the explored state is a self-loop", 2,
         "1\n1\n1.5000000000e+00\n2\n5.0000000000e-01\n0\n2\n0\n", "where\n1\n0\n0\n2\n0\n1\n"},
        {5, "a chain of 23 firings is accepted", 2, "1\n2\n2.0000000000e+00\n0\n2\n0\n",
         "where\n1\n0\n0\n2\n0\n0\n"},
    };
    for (const InstCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "experiment " << c.experiment << ": " << c.what);
        std::string name = "e" + std::to_string(c.experiment);
        RunResult r = Run("inst_model", "-P./ -N" + name + " -B" + std::to_string(c.experiment));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(Output(name + ".arm"), NormalHeader(c.states) + c.records);
        EXPECT_EQ(Output(name + ".var"), c.rewards);
        EXPECT_THAT(r.out, HasSubstr("Generated: " + std::to_string(c.states) + " states\n"));
    }
}

TEST_F(GeneratorModelsTest, InstModelStopsAfterTwentyFourChainedFirings) {
    RunResult r = Run("inst_model", "-P./ -Nrun -B6");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error:  Maximum number of zero time transition recursive firings "
                     "exceeded(23)\nPossible undetermined model.\n"
                     "Please check the model and try again\n"
                     "Hint: run with -z, which eliminates vanishing loops and long chains of "
                     "instantaneous firings exactly (a loop no firing can leave is then "
                     "reported as a timeless trap)\n");
    EXPECT_THAT(r.out, Not(HasSubstr("Generated")));
}

TEST_F(GeneratorModelsTest, InstModelRefusesAnUnstableInitialState) {
    RunResult r = Run("inst_model", "-P./ -Nrun -B7");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("SSG: SetTraceLevel: 0\n"
                                 "Error: The initial state is not stable, i.e., at least one "
                                 "instantaneous action is enabled in that state.\n"));
    EXPECT_FALSE(Exists("run.arm"));
}

TEST_F(GeneratorModelsTest, InstModelRefusesCandidatesOfZeroTotalWeight) {
    RunResult r = Run("inst_model", "-P./ -Nrun -B8");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error: instantaneous activities enabled together have a total weight of "
                     "0; their probabilities are undefined.\n");
    EXPECT_THAT(r.out, Not(HasSubstr("Generated")));
}

// ---------------------------------------------------------------- Erlang model

TEST_F(GeneratorModelsTest, ErlangModelAgesCasesTogetherAndResetsDisabledPhases) {
    RunResult r = Run("erlang_model", "-P./ -Nrun -B0");
    ASSERT_EQ(r.status, 0) << r.err;
    // repair has 2 phases, rate 4 and cases 0.25/0.75. An early phase ages both
    // cases at 4/2 (a self-loop of 2.0); the next firing of case 2 takes 4 * 0.75.
    // In state 3 the phases start from 1 again because the firing from state 2
    // left repair disabled; state 4's restore resets them before state 5.
    EXPECT_EQ(Output("run.arm"), NormalHeader(6) +
                                     "1\n2\n1.0000000000e+00\n0\n"
                                     "2\n2\n2.0000000000e+00\n3\n1.0000000000e+00\n"
                                     "4\n3.0000000000e+00\n0\n"
                                     "3\n3\n2.0000000000e+00\n5\n3.0000000000e+00\n0\n"
                                     "4\n1\n5.0000000000e-01\n5\n1.0000000000e+00\n0\n"
                                     "5\n2\n5.0000000000e-01\n5\n2.0000000000e+00\n"
                                     "6\n3.0000000000e+00\n0\n"
                                     "6\n4\n5.0000000000e-01\n0\n");
    EXPECT_EQ(Output("run.var"), "spares\n1\n0\n0\n2\n0\n0\n3\n0\n0\n4\n0\n1\n5\n0\n1\n6\n0\n2\n");
}

// ---------------------------------------------------------------- deterministic model

struct DetCase {
    int experiment;
    const char* what;
    unsigned states;
    const char* records;
    const char* det;
    const char* rewards;
};

TEST_F(GeneratorModelsTest, DetModelWritesNegativeEntriesAndDelayGroups) {
    const DetCase cases[] = {
        {0, "one deterministic delay", 2, "1\n2\n2.0000000000e+00\n0\n2\n1\n-1.0000000000e+00\n0\n",
         "1\n3.4700000000e-03\n2\n0\n", "down\n1\n0\n0\n2\n0\n1\n"},
        {1, "two delays, and instantaneous cases weighted by their group", 3,
         "1\n1\n-2.5000000000e-01\n2\n2.0000000000e+00\n3\n-7.5000000000e-01\n0\n"
         "2\n1\n-1.0000000000e+00\n0\n"
         "3\n0\n",
         "2\n5.0000000000e-01\n1\n0\n3.4700000000e-03\n2\n0\n",
         "down\n1\n0\n0\n2\n0\n1\n3\n0\n0\n"},
        {2, "one delay enabled in two states", 3,
         "1\n1\n-2.5000000000e-01\n2\n2.0000000000e+00\n3\n-7.5000000000e-01\n0\n"
         "2\n1\n-1.0000000000e+00\n0\n"
         "3\n0\n",
         "1\n3.4700000000e-03\n1\n2\n0\n", "down\n1\n0\n0\n2\n0\n1\n3\n0\n0\n"},
    };
    for (const DetCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "experiment " << c.experiment << ": " << c.what);
        std::string name = "d" + std::to_string(c.experiment);
        RunResult r = Run("det_model", "-P./ -N" + name + " -B" + std::to_string(c.experiment));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(Output(name + ".arm"), DetHeader(c.states) + c.records);
        EXPECT_EQ(Output(name + ".det"), c.det);
        EXPECT_EQ(Output(name + ".var"), c.rewards);
        EXPECT_THAT(r.out, Not(HasSubstr("absorbing")));
    }
}

TEST_F(GeneratorModelsTest, DetModelAbsorbingReportGoesToStandardOutputOnly) {
    RunResult r = Run("det_model", "-P./ -Nrun -B1 -a -l4 -ttrace.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(MaskTime(r.out), "path=[./]\n"
                               "TraceLevel=4\n"
                               "The Global Variable values for experiment Experiment 2 are:\n"
                               "use_slow\tshort\t1\n"
                               "second_delay\tdouble\t0.5\n"
                               "SSG: SetTraceLevel: 4\n"
                               "\n"
                               "This following State is absorbing:\n"
                               "Model: (2)det_system\n"
                               "  work = 0\n"
                               "  broken = 0\n"
                               "  checked = 1\n"
                               "  slow = 0\n"
                               "_$3$\n"
                               "Generated: 3 states\n"
                               "Computation Time (user + system): X seconds\n");
    EXPECT_EQ(MaskTime(Output("trace.txt")), "State Number = 1\n"
                                             "Marking: work=1\n"
                                             "Enabled: crash\n"
                                             "Firing Action: crash\n"
                                             "The rate to this state: 2.000000\n"
                                             "Enabled: drift\n"
                                             "Firing Action: drift\n"
                                             "Firing Action: recover_case1\n"
                                             "The rate to this state: -0.250000\n"
                                             "Firing Action: recover_case2\n"
                                             "The rate to this state: -0.750000\n"
                                             "State Number = 2\n"
                                             "Marking: broken=1\n"
                                             "Enabled: reboot\n"
                                             "Firing Action: reboot\n"
                                             "The rate to this state: -1.000000\n"
                                             "State Number = 3\n"
                                             "Marking: checked=1\n"
                                             "Generated: 3 states\n"
                                             "Computation time (user + system): X\n");
}

TEST_F(GeneratorModelsTest, UnsupportedDistributionMixesAreRefused) {
    for (const char* model : {"deterlang_model", "uniform_model"}) {
        SCOPED_TRACE(model);
        RunResult r = Run(model, "-P./ -Nrun -B0");
        EXPECT_EQ(r.status, 1);
        EXPECT_THAT(r.out, HasSubstr("SSG: SetTraceLevel: 0\nError:  Can not generate state "
                                     "space with Current Action Distribution Type\n"));
        EXPECT_FALSE(Exists("run.arm"));
        EXPECT_FALSE(Exists("run.det"));
    }
}

TEST_F(GeneratorModelsTest, ModelWithoutStateVariablesIsRefused) {
    RunResult r = Run("empty_model", "-P./ -Nrun -B0");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "path=[./]\n"
                     "There are no global variables.\n"
                     "The model is empty, i.e., does not have any state variables.\n");
    EXPECT_FALSE(Exists("run.arm"));
    EXPECT_FALSE(Exists("run.pvtype"));
}

// ---------------------------------------------------------------- tracing

// The elimination of experiment 1 of inst_model, traced at level 1 with -a.
const char kInstTraceLevel1[] = "State Number = 1\n"
                                "Marking: start=1\n"
                                "Firing Action: go\n"
                                "Firing Action: pick_left\n"
                                "Firing Action: pick_right\n"
                                "State Number = 2\n"
                                "Marking: left=1\n"
                                "The following state is absorbing: \n"
                                "  Model: (2)inst_system\n"
                                "    start = 0\n"
                                "    vanish = 0\n"
                                "    left = 1\n"
                                "    right = 0\n"
                                "    done = 0\n"
                                "    chain = 0\n"
                                "State Number = 3\n"
                                "Marking: right=1\n"
                                "The following state is absorbing: \n"
                                "  Model: (2)inst_system\n"
                                "    start = 0\n"
                                "    vanish = 0\n"
                                "    left = 0\n"
                                "    right = 1\n"
                                "    done = 0\n"
                                "    chain = 0\n"
                                "Generated: 3 states\n"
                                "Computation time (user + system): X\n";

// Level 4 adds each action tried and each rate recorded.
const char kInstTraceLevel4[] = "State Number = 1\n"
                                "Marking: start=1\n"
                                "Checking Action: go\n"
                                "Firing Action: go\n"
                                "Firing Action: pick_left\n"
                                "The rate to this state: 0.500000\n"
                                "Firing Action: pick_right\n"
                                "The rate to this state: 1.500000\n"
                                "State Number = 2\n"
                                "Marking: left=1\n"
                                "Checking Action: go\n"
                                "The following state is absorbing: \n"
                                "  Model: (2)inst_system\n"
                                "    start = 0\n"
                                "    vanish = 0\n"
                                "    left = 1\n"
                                "    right = 0\n"
                                "    done = 0\n"
                                "    chain = 0\n"
                                "State Number = 3\n"
                                "Marking: right=1\n"
                                "Checking Action: go\n"
                                "The following state is absorbing: \n"
                                "  Model: (2)inst_system\n"
                                "    start = 0\n"
                                "    vanish = 0\n"
                                "    left = 0\n"
                                "    right = 1\n"
                                "    done = 0\n"
                                "    chain = 0\n"
                                "Generated: 3 states\n"
                                "Computation time (user + system): X\n";

const char kInstListing0[] = "The Global Variable values for experiment Experiment 1 are:\n"
                             "split_tokens\tshort\t1\n"
                             "chain_length\tshort\t0\n"
                             "left_weight\tdouble\t1\n"
                             "right_weight\tdouble\t3\n"
                             "left_rank\tshort\t1\n"
                             "right_rank\tshort\t1\n"
                             "merge\tshort\t0\n"
                             "back\tshort\t0\n"
                             "initial_vanish\tshort\t0\n";

TEST_F(GeneratorModelsTest, TraceFileHoldsTheEntriesOfItsLevel) {
    // Level 0 keeps only the state dumps, which have no level; the generator has no
    // entries of levels 2 and 3, so they trace like level 1.
    const std::string dumpsOnly = "  Model: (2)inst_system\n"
                                  "    start = 0\n    vanish = 0\n    left = 1\n"
                                  "    right = 0\n    done = 0\n    chain = 0\n"
                                  "  Model: (2)inst_system\n"
                                  "    start = 0\n    vanish = 0\n    left = 0\n"
                                  "    right = 1\n    done = 0\n    chain = 0\n";
    const std::string expected[] = {dumpsOnly, kInstTraceLevel1, kInstTraceLevel1, kInstTraceLevel1,
                                    kInstTraceLevel4};
    RunResult untraced = Run("inst_model", "-P./ -Nplain -B0");
    ASSERT_EQ(untraced.status, 0) << untraced.err;
    for (int level = 0; level <= 4; level++) {
        SCOPED_TRACE(::testing::Message() << "level " << level);
        std::string lvl = std::to_string(level);
        std::string name = "l" + lvl;
        RunResult r =
            Run("inst_model", "-P./ -N" + name + " -B0 -a -l" + lvl + " -t" + name + ".trace");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(MaskTime(Output(name + ".trace")), expected[level]);
        EXPECT_EQ(Output(name + ".arm"), Output("plain.arm"));
        EXPECT_EQ(Output(name + ".var"), Output("plain.var"));
        EXPECT_EQ(MaskTime(r.out), "path=[./]\nTraceLevel=" + lvl + "\n" + kInstListing0 +
                                       "SSG: SetTraceLevel: " + lvl +
                                       "\n"
                                       "absorbing state\n"
                                       "absorbing state\n"
                                       "_$3$\n"
                                       "Generated: 3 states\n"
                                       "Computation Time (user + system): X seconds\n");
    }
}

TEST_F(GeneratorModelsTest, TraceWithoutFileGoesToStandardOutput) {
    RunResult r = Run("inst_model", "-P./ -Nrun -B0 -l4");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(MaskTime(r.out), std::string("path=[./]\n"
                                           "TraceLevel=4\n") +
                                   kInstListing0 +
                                   "SSG: SetTraceLevel: 4\n"
                                   "State Number = 1\n"
                                   "Marking: start=1\n"
                                   "Checking Action: go\n"
                                   "Firing Action: go\n"
                                   "Firing Action: pick_left\n"
                                   "The rate to this state: 0.500000\n"
                                   "Firing Action: pick_right\n"
                                   "The rate to this state: 1.500000\n"
                                   "State Number = 2\n"
                                   "Marking: left=1\n"
                                   "Checking Action: go\n"
                                   "State Number = 3\n"
                                   "Marking: right=1\n"
                                   "Checking Action: go\n"
                                   "_$3$\n"
                                   "Generated: 3 states\n"
                                   "Generated: 3 states\n"
                                   "Computation time (user + system): X\n"
                                   "Computation Time (user + system): X seconds\n");
}

} // namespace
