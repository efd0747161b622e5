// Runs that must fail, and how: a message that names the problem, status 1 (or the
// signal that stopped the run), and no partial file under any output name, the
// results of an earlier run staying as they were.

#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace testsupport;
using ::testing::HasSubstr;

#ifdef NDEBUG
constexpr bool kDebug = false;
#else
constexpr bool kDebug = true;
#endif

const char* const kSuffixes[] = {".arm", ".var", ".det", ".pvtype", ".rates"};

const char* const kOneThread = "export GEN_TEST_THREADS=1; ";
const char* const kTwoThreads = "export GEN_TEST_THREADS=2; ";

class FailureTest : public ScratchTest {
  protected:
    FailureTest() : ScratchTest("genfail") {}

    // The complete results of an earlier run named x.
    void WriteEarlierResults() {
        fs::remove_all(work);
        fs::create_directories(work);
        for (const char* suffix : kSuffixes)
            std::ofstream(work / (std::string("x") + suffix)) << "earlier " << suffix << "\n";
    }
    // The earlier results are there, unchanged, and nothing else is.
    void ExpectEarlierResultsOnly() {
        std::vector<std::string> names;
        for (const char* suffix : kSuffixes) {
            names.push_back(std::string("x") + suffix);
            EXPECT_EQ(Output(names.back()), std::string("earlier ") + suffix + "\n") << suffix;
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(Listing(), names);
    }
};

TEST_F(FailureTest, RefusedRunsReportTheProblemAndWriteNothing) {
    struct Case {
        std::string program;
        std::string args;
        std::string message;     // a line of the report
        bool onStandardOutput;   // where the report goes
        std::string setup = "";  // shell text run before the program
        bool needsDebug = false; // a check that only debug builds make
        bool limitsMemory = false;
    };
    const std::string gen = GenProgram();
    const std::string faulty = TestModel("exp_faulty_model");
    const std::string kanban = BenchProgram("gen_kanban");
    const char* const badOverride = "could not be applied; nothing was generated\n";
    const Case cases[] = {
        // Experiment numbers and trace levels that would select something else.
        {gen, "-P./ -Nx -Bx", "ERROR: experiment number (-B) is not a whole number: x\n", true},
        {gen, "-P./ -Nx -B3junk", "ERROR: experiment number (-B) is not a whole number: 3junk\n",
         true},
        {gen, "-P./ -Nx -B4294967296",
         "ERROR: experiment number (-B) is out of range: 4294967296 (it must fit an int: "
         "-2147483648 to 2147483647)\n",
         true},
        {gen, "-P./ -Nx -B0 -l-2147483649",
         "ERROR: trace level (-l) is out of range: -2147483649 (it must fit an int: -2147483648 to "
         "2147483647)\n",
         true},
        // Names that would misname the files.
        {gen, "-P./ -N '' -B0",
         "ERROR: the experiment name (-N) is empty: the output files would be hidden, named only "
         "by their suffixes (.arm, .var, ...)\n",
         true},
        {gen, "-P./ -N" + std::string(250, 'n') + " -B0",
         "ERROR: the output file names (-P, -N) are too long: ./" + std::string(250, 'n') +
             ".pvtype.tmp-XXXXXX has 268 bytes in its last part, more than the 255 a file "
             "name may have\n",
         true},
        // Overrides that cannot be applied as written.
        {gen, "-P./ -Nx -B0 -Ox:flash_size:5", "Type x not recognized\n", true},
        {gen, "-P./ -Nx -B0 -Ox:flash_size:5", badOverride, false},
        {gen, "-P./ -Nx -B0 -Od:flash_size:5",
         "Type letter d does not match the type float of global variable flash_size\n", false},
        {gen, "-P./ -Nx -B0 -Of:no_such_variable:1", badOverride, false},
        {gen, "-P./ -Nx -B0 -Of:flash_size", "Not enough double override tokens", true},
        {gen, "-P./ -Nx -B0 -Of:flash_size", badOverride, false},
        {gen, "-P./ -Nx -B0 -Os:num_replicas:70000",
         "Value 70000 of global variable num_replicas is not a number of type short\n", false},
        {gen, "-P./ -Nx -B0 -Of:flash_size:64x",
         "Value 64x of global variable flash_size is not a number of type float\n", false},
        // A trace written into one of the results.
        {gen, "-P./ -Nx -B0 -l1 -t x.var",
         "Error: the trace file (-t) x.var is one of the run's "
         "output files\n",
         false},
        {gen, "-P./ -Nx -B0 -l1 -t ./x.pvtype",
         "Error: the trace file (-t) ./x.pvtype is one of "
         "the run's output files\n",
         false},
        // Values no chain can hold, found during the exploration.
        {gen, "-P./ -Nx -B0 -Of:power_cycle_rate:-0.1",
         "Error: activity power_cycle has delay -0.1 in state 4; a delay must be a finite number "
         "of at least 0\n",
         false},
        {gen, "-P./ -Nx -B0 -Of:random_failure_rate:nan",
         "Error: activity random_failure has rate nan in state 1; a rate must be a finite number "
         "of at least 0\n",
         false},
        {gen, "-P./ -Nx -B0 -Of:random_failure_rate:inf",
         "Error: activity random_failure has rate inf in state 1; a rate must be a finite number "
         "of at least 0\n",
         false},
        {gen, "-P./ -Nx -B0 -Of:ram_size:1024",
         "Error: activity bit_error_case1 has case probability -1 in state 1; a probability must "
         "lie between 0 and 1\n",
         false},
        // Deep in a long exploration, on either path: with two threads the firing
        // thread finds it while the other records.
        {faulty, "-P./ -Nx -B2",
         "Error: activity tick has rate -1 in state 601; a rate must be a finite number of at "
         "least 0\n",
         false, std::string(kOneThread) + "export EXP_FAULT=rate; "},
        {faulty, "-P./ -Nx -B2",
         "Error: activity tick has rate -1 in state 601; a rate must be a finite number of at "
         "least 0\n",
         false, std::string(kTwoThreads) + "export EXP_FAULT=rate; "},
        // Models that break the state contract the exploration relies on.
        {faulty, "-P./ -Nx -B2",
         "Error: the model's CompareState does not find a state equal to its own copy\n", false,
         "export EXP_FAULT=compare; ", true},
        {faulty, "-P./ -Nx -B2",
         "Error: the model writes back another state than the one it was given (SetState then "
         "CurrentState)\n",
         false, "export EXP_FAULT=writeback; ", true},
        // Memory running out part-way, while the tables grow, on either path.
        {kanban, "-P./ -Nx -B3", "Insufficient Memory to allocate dynamic data structures", false,
         std::string(kOneThread) + "ulimit -v 25000 && ", false, true},
        {kanban, "-P./ -Nx -B3", "Insufficient Memory to allocate dynamic data structures", false,
         std::string(kTwoThreads) + "ulimit -v 25000 && ", false, true},
        // Files that outgrow a size limit.
        {TestModel("exp_model"), "-P./ -Nx -B2", "Error: Could not write", false,
         "ulimit -f 1 && "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.setup << c.program << " " << c.args);
        if ((c.needsDebug && !kDebug) || (c.limitsMemory && kSanitized))
            continue;
        WriteEarlierResults();
        RunResult r = Run(c.program, c.args, c.setup);
        EXPECT_EQ(r.status, 1);
        EXPECT_THAT(c.onStandardOutput ? r.out : r.err, HasSubstr(c.message));
        EXPECT_THAT(r.out, ::testing::Not(HasSubstr("Generated")));
        ExpectEarlierResultsOnly();
    }
}

TEST_F(FailureTest, BrokenStandardOutputIsAFailure) {
    // The report is what the front end reads: a run whose report is lost has failed.
    WriteEarlierResults();
    RunResult r = Run("/bin/sh", "-c 'exec " + GenProgram() + " -P./ -Nx -B0 >/dev/full'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error: Could not write the report on standard output\n");
    ExpectEarlierResultsOnly();
}

TEST_F(FailureTest, InterruptedRunLeavesNoPartialFile) {
    // Kanban with N = 5 explores for seconds; the signal comes well before the end.
    // SIGPIPE as when the report goes to "| head" that has ended.
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) {
        SCOPED_TRACE(signal);
        WriteEarlierResults();
        RunResult r = Run(BenchProgram("gen_kanban"), "-P./ -Nx -B4",
                          "(sleep 0.5; kill -" + std::to_string(signal) + " $$) & ");
        EXPECT_EQ(r.signal, signal);
        EXPECT_THAT(r.out, ::testing::Not(HasSubstr("Generated")));
        ExpectEarlierResultsOnly();
    }
}

TEST_F(FailureTest, TwoRunsUnderTheSameNamesLeaveTheFilesOfOne) {
    // The example (13 states, with a .det) and the counter model (2346 states, none)
    // at once under the same names, again and again: whichever commits last, the
    // files left are all of that run.
    for (int trial = 0; trial < 20; trial++) {
        SCOPED_TRACE(trial);
        fs::remove_all(work);
        fs::create_directories(work);
        const RunResult r =
            Run("/bin/sh", "-c '" + GenProgram() + " -P./ -Nx -B0 >/dev/null & " +
                               TestModel("exp_model") + " -P./ -Nx -B2 >/dev/null; wait'");
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string arm = Output("x.arm"), var = Output("x.var");
        const bool example = arm.rfind("1\n13\n", 0) == 0;
        EXPECT_TRUE(example || arm.rfind("1\n2346\n", 0) == 0) << arm.substr(0, 20);
        EXPECT_EQ(var.rfind(example ? "reliability\n" : "done\n", 0), 0u) << var.substr(0, 20);
        EXPECT_EQ(Exists("x.det"), example);
        for (const std::string& name : Listing())
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
}

TEST_F(FailureTest, AMarkerLeftByAKilledCommitGoesWithTheNextRun) {
    // A run killed while its files moved leaves x.commit beside a mixed set; the next
    // complete run replaces the set and takes the marker away.
    WriteEarlierResults();
    std::ofstream(work / "x.commit") << "gen is replacing these results\n";
    const RunResult r = Run(TestModel("exp_model"), "-P./ -Nx -B2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Listing(), (std::vector<std::string>{"x.arm", "x.pvtype", "x.rates", "x.var"}));
}

TEST_F(FailureTest, SuccessfulRunReplacesEveryEarlierResult) {
    // The example writes a .det, the counter model does not: the earlier .det would
    // otherwise stand beside results it does not belong to.
    WriteEarlierResults();
    RunResult r = Run(TestModel("exp_model"), "-P./ -Nx -B2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Listing(), (std::vector<std::string>{"x.arm", "x.pvtype", "x.rates", "x.var"}));
    EXPECT_EQ(Output("x.arm").substr(0, 7), "1\n2346\n");
    WriteEarlierResults();
    r = Run(GenProgram(), "-P./ -Nx -B0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Listing(),
              (std::vector<std::string>{"x.arm", "x.det", "x.pvtype", "x.rates", "x.var"}));
    for (const char* suffix : kSuffixes)
        EXPECT_THAT(Output(std::string("x") + suffix), ::testing::Not(HasSubstr("earlier")));
}

TEST_F(FailureTest, TraceFileThatCannotBeOpenedIsReported) {
    RunResult r = Run(GenProgram(), "-P./ -Nx -B0 -l1 -t missing/trace.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Warning: Could not open trace file missing/trace.txt; no trace is written\n");
    EXPECT_TRUE(Exists("x.arm"));
}

TEST_F(FailureTest, BothExplorationPathsWriteTheSameFiles) {
    struct Case {
        std::string program;
        std::string args;
    } cases[] = {
        {BenchProgram("gen_kanban"), "-B2"},
        {BenchProgram("gen_fms"), "-B2"},
        {TestModel("exp_model"), "-B2"},
        {TestModel("inst_model"), "-B0"},
        // Impulse rewards on timed activities with Erlang phases and on instantaneous ones.
        {TestModel("features_model"), "-B0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + " " + c.args);
        ASSERT_EQ(Run(c.program, "-P./ -None " + c.args, kOneThread).status, 0);
        ASSERT_EQ(Run(c.program, "-P./ -Ntwo " + c.args, kTwoThreads).status, 0);
        for (const char* suffix : {".arm", ".var", ".pvtype", ".rates"}) {
            const std::string one = Output(std::string("one") + suffix);
            EXPECT_FALSE(one.empty()) << suffix;
            EXPECT_TRUE(one == Output(std::string("two") + suffix)) << suffix;
        }
    }
}

} // namespace
