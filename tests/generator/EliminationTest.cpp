// Whole runs of the instantaneous elimination (gen -z): the chains of small nets
// worked out by hand, byte-for-byte agreement with the recursive resolution wherever
// that one succeeds, and the runs either mode must refuse, as a user sees them.
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

using ::testing::HasSubstr;
using ::testing::Not;
using testsupport::BenchProgram;
using testsupport::RunResult;
using testsupport::TestModel;

namespace {

// First lines of a state-space file: the count over a placeholder of 63 blanks.
std::string Header(unsigned count) {
    std::string n = std::to_string(count);
    return "1\n" + n + "\n" + std::string(62 - n.size(), ' ') + "\n";
}

std::string MaskTime(const std::string& text) {
    static const std::regex report("Computation Time \\(user \\+ system\\): \\S+ seconds");
    return std::regex_replace(text, report, "Computation Time (user + system): X seconds");
}

// Both explorations, one thread firing and recording or two.
const char* const kThreads[] = {"GEN_TEST_THREADS=1 ", "GEN_TEST_THREADS=2 "};

class EliminationTest : public testsupport::ScratchTest {
  protected:
    EliminationTest() : ScratchTest("genelim") {}

    RunResult Gen(const std::string& program, const std::string& args,
                  const std::string& env = "") {
        return Run(program, args, env.empty() ? "" : "export " + env + "&& ");
    }
};

// ---------------------------------------------------------------- chains by hand

struct Golden {
    const char* model;
    int experiment;
    const char* what;
    unsigned states;
    const char* records;
    const char* rewards;
};

TEST_F(EliminationTest, ChainsOfSmallNetsAreTheOnesWorkedOutByHand) {
    const Golden cases[] = {
        // x_a = 1 + x_b / 2, x_b = 3/4 x_a: x_a = 8/5; done1 gets x_a / 4 = 2/5 of
        // rate 2, done2 x_b / 2 = 3/5.
        {"elim_loop", 0, "an escapable loop, weights 3 and 1", 3,
         "1\n2\n8.0000000000e-01\n3\n1.2000000000e+00\n0\n"
         "2\n1\n1.0000000000e+00\n0\n"
         "3\n1\n5.0000000000e-01\n0\n",
         "in_one\n1\n0\n0\n2\n0\n1\n3\n0\n0\n"},
        // x_a = 1 / (1 - 1/4) = 4/3: done1 2/3 of rate 2, done2 1/3.
        {"elim_loop", 1, "an escapable loop, weights 1 and 1", 3,
         "1\n2\n1.3333333333e+00\n3\n6.6666666667e-01\n0\n"
         "2\n1\n1.0000000000e+00\n0\n"
         "3\n1\n5.0000000000e-01\n0\n",
         "in_one\n1\n0\n0\n2\n0\n1\n3\n0\n0\n"},
        // 24 and 31 firings, beyond the recursion: the cases of finish split 1.5 as
        // 1/4 and 3/4.
        {"elim_chain", 1, "a chain of 24 firings", 3,
         "1\n2\n3.7500000000e-01\n3\n1.1250000000e+00\n0\n"
         "2\n1\n1.0000000000e+00\n0\n"
         "3\n1\n2.0000000000e+00\n0\n",
         "finished\n1\n0\n0\n2\n0\n1\n3\n0\n1\n"},
        {"elim_chain", 2, "a chain of 31 firings", 3,
         "1\n2\n3.7500000000e-01\n3\n1.1250000000e+00\n0\n"
         "2\n1\n1.0000000000e+00\n0\n"
         "3\n1\n2.0000000000e+00\n0\n",
         "finished\n1\n0\n0\n2\n0\n1\n3\n0\n1\n"},
        // Rate 4: left 1/4 reaches done (1.0); right 3/4, then the cases' weights
        // 0.5 and 0.5 against r_alt's 1: done 3/16 (0.75), other 3/16 (0.75), and
        // through m done 3/8 (1.5). done sums 1.0 + 0.75 + 1.5 in that order.
        {"elim_pick", 0, "ranks, weights, cases and joining paths", 3,
         "1\n2\n3.2500000000e+00\n3\n7.5000000000e-01\n0\n"
         "2\n1\n1.0000000000e+00\n0\n"
         "3\n1\n2.0000000000e+00\n0\n",
         "in_done\n1\n0\n0\n2\n0\n1\n3\n0\n0\n"},
        // The hand-written model's chain of 24 firings: rate 2 into its one end.
        {"inst_model", 6, "the hand-written chain of 24 firings", 2,
         "1\n2\n2.0000000000e+00\n0\n2\n0\n", "where\n1\n0\n0\n2\n0\n0\n"},
    };
    for (const Golden& c : cases)
        for (const char* threads : kThreads) {
            SCOPED_TRACE(::testing::Message() << c.model << " experiment " << c.experiment << ": "
                                              << c.what << ", " << threads);
            const std::string name = "g" + std::to_string(c.experiment);
            RunResult r =
                Gen(TestModel(c.model),
                    "-P./ -N" + name + " -B" + std::to_string(c.experiment) + " -z", threads);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(Output(name + ".arm"), Header(c.states) + c.records);
            EXPECT_EQ(Output(name + ".var"), c.rewards);
            EXPECT_THAT(r.out, HasSubstr("Generated: " + std::to_string(c.states) + " states\n"));
        }
}

// ---------------------------------------------------------------- the same bytes

struct Same {
    std::string program;
    int experiment;
    const char* what;
    bool bothThreads; // also the two-thread exploration (many states, or merging paths)
};

TEST_F(EliminationTest, GivesTheRecursiveResolutionsFilesWhereverThatSucceeds) {
    const Same cases[] = {
        {TestModel("elim_chain"), 0, "a chain of 23 firings, the deepest accepted", false},
        {TestModel("elim_pick"), 0, "ranks, weights, cases and joining paths", true},
        {TestModel("inst_model"), 3, "two paths into one state", false},
        {TestModel("inst_model"), 4, "a path back to the explored state", false},
        {BenchProgram("gen_readers_writers"), 4, "readers/writers, K = 5", true},
        {TestModel("solvetest_impulse_paths"), 0, "impulses of cases and instantaneous paths",
         true},
    };
    for (const Same& c : cases)
        for (const char* threads : kThreads) {
            if (!c.bothThreads && threads != kThreads[0])
                continue;
            SCOPED_TRACE(::testing::Message() << c.program << " experiment " << c.experiment << ": "
                                              << c.what << ", " << threads);
            const std::string b = " -B" + std::to_string(c.experiment);
            RunResult recursive = Gen(c.program, "-P./ -Nr" + b, threads);
            RunResult eliminated = Gen(c.program, "-P./ -Nr_z" + b + " -z", threads);
            ASSERT_EQ(recursive.status, 0) << recursive.err;
            ASSERT_EQ(eliminated.status, 0) << eliminated.err;
            EXPECT_EQ(MaskTime(eliminated.out), MaskTime(recursive.out));
            EXPECT_EQ(eliminated.err, recursive.err);
            for (const char* suffix : {".arm", ".var", ".pvtype", ".rates"}) {
                SCOPED_TRACE(suffix);
                const std::string expected = Output(std::string("r") + suffix);
                EXPECT_FALSE(expected.empty());
                EXPECT_TRUE(Output(std::string("r_z") + suffix) == expected) << "the files differ";
            }
        }
}

TEST_F(EliminationTest, ReadersWritersHasThePublishedStateCount) {
    RunResult r = Gen(BenchProgram("gen_readers_writers"), "-P./ -Nrw -B4 -z");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Generated: 201 states\n"));
    EXPECT_EQ(Output("rw.arm").substr(0, 6), "1\n201\n");
}

// ---------------------------------------------------------------- refused runs

struct Refused {
    std::string program;
    const char* args;
    const char* what;
    bool onStandardOutput; // option errors go there, like the other options'
    bool exploring;        // met while exploring: by either thread of two
    const char* message;
};

// The fixed text, then one line that points at -z (which resolves these runs).
const char kDepthMessage[] = "Error:  Maximum number of zero time transition recursive firings "
                             "exceeded(23)\nPossible undetermined model.\n"
                             "Please check the model and try again\n"
                             "Hint: run with -z, which eliminates vanishing loops and long "
                             "chains of instantaneous firings exactly (a loop no firing can "
                             "leave is then reported as a timeless trap)\n";

TEST_F(EliminationTest, RefusedRunsSayWhyAndWriteNothing) {
    const Refused cases[] = {
        {TestModel("elim_loop"), "-B0", "a loop, without -z", false, true, kDepthMessage},
        {TestModel("elim_chain"), "-B1", "24 firings, without -z", false, true, kDepthMessage},
        {TestModel("elim_trap"), "-B0 -z", "a timeless trap", false, true,
         "Error: timeless trap: after activity go in state 1 the instantaneous activities "
         "b_to_c, c_to_b fire forever among the vanishing markings {b=1}, {c=1}; no stable "
         "marking can be reached from them\n"},
        {TestModel("elim_loop"), "-B0 -z1", "more vanishing markings than the limit", false, true,
         "Error: the instantaneous firings after activity go in state 1 reach more than 1 "
         "vanishing markings, the limit of -z; raise it with -z<limit>\n"},
        {TestModel("det_model"), "-B0 -z", "deterministic activities", false, false,
         "Error: the instantaneous elimination (-z) does not support deterministic "
         "activities; run without -z\n"},
        {TestModel("inst_model"), "-B8 -z", "weights of total 0, as without -z", false, true,
         "Error: instantaneous activities enabled together have a total weight of 0; their "
         "probabilities are undefined.\n"},
        {TestModel("inst_model"), "-B7 -z", "an unstable initial state, as without -z", true, false,
         "Error: The initial state is not stable, i.e., at least one instantaneous action is "
         "enabled in that state.\n"},
        {TestModel("elim_loop"), "-B0 -z0", "a limit of 0", true, false,
         "ERROR: the vanishing-marking limit (-z) must be at least 1: 0\n"},
        {TestModel("elim_loop"), "-B0 -z2x", "a limit that is not a number", true, false,
         "ERROR: vanishing-marking limit (-z) is not a whole number: 2x\n"},
        {TestModel("elim_loop"), "-B0 -z 99999999999", "a limit out of range", true, false,
         "ERROR: vanishing-marking limit (-z) is out of range: 99999999999 (it must fit an int: "
         "-2147483648 to 2147483647)\n"},
    };
    for (const Refused& c : cases)
        for (const char* threads : kThreads) {
            if (!c.exploring && threads != kThreads[0])
                continue; // refused before any exploration
            SCOPED_TRACE(::testing::Message() << c.what << ", " << threads);
            RunResult r = Gen(c.program, std::string("-P./ -Nrun ") + c.args, threads);
            EXPECT_EQ(r.status, 1);
            if (c.onStandardOutput) {
                EXPECT_THAT(r.out, HasSubstr(c.message));
            } else {
                EXPECT_EQ(r.err, c.message);
            }
            EXPECT_THAT(r.out, Not(HasSubstr("Generated")));
            EXPECT_TRUE(Listing().empty()) << "no file is left behind";
        }
}

TEST_F(EliminationTest, TheDepthFailureAddsOneLineAndItsAdviceResolvesTheLoop) {
    // The loop of experiment 0 can be left: the advice printed without -z must hold.
    RunResult r = Gen(TestModel("elim_loop"), "-P./ -Nrun -B0");
    EXPECT_EQ(r.status, 1);
    const std::string fixed = "Error:  Maximum number of zero time transition recursive "
                              "firings exceeded(23)\nPossible undetermined model.\n"
                              "Please check the model and try again\n";
    ASSERT_EQ(r.err.substr(0, fixed.size()), fixed);
    const std::string added = r.err.substr(fixed.size());
    EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 1) << added;
    EXPECT_THAT(added, HasSubstr("-z"));
    EXPECT_THAT(added, HasSubstr("vanishing loops"));
    EXPECT_THAT(r.out, Not(HasSubstr("-z")));

    r = Gen(TestModel("elim_loop"), "-P./ -Nrun -B0 -z");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_THAT(r.out, HasSubstr("Generated: 3 states\n"));
}

TEST_F(EliminationTest, LimitsAtAndAboveTheClosureAreAccepted) {
    // The loop's closure has exactly two vanishing markings.
    for (const char* limit : {"-z2", "-z 2", "-z1000"}) {
        SCOPED_TRACE(limit);
        RunResult r = Gen(TestModel("elim_loop"), std::string("-P./ -Nrun -B0 ") + limit);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_THAT(Output("run.arm"), HasSubstr("8.0000000000e-01"));
    }
}

} // namespace
