// The built programs as the front end sees them: arguments, console output, file
// names, exit statuses, and failures to write.
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testsupport::GenProgram;
using testsupport::RunResult;
using testsupport::TestModel;

namespace {

const char kUsage[] = "usage:  gen -Pexperimentfilepath -Nexperimentname -hhash_value "
                      "-Bexperimentnumber -Ffiletype -edb_entity -sdb_macserver  "
                      "-ltrace_level[0-4] -tTraceFilename\n"
                      "Example:  gen -P. -Nexp1 -B0\n";

const char kExampleListing0[] = "The Global Variable values for experiment Experiment 1 are:\n"
                                "flash_size\tfloat\t64\n"
                                "num_replicas\tshort\t1\n"
                                "power_cycle_rate\tfloat\t0.03125\n"
                                "ram_size\tfloat\t128\n"
                                "random_failure_rate\tfloat\t0.005\n";

const char* const kSuffixes[] = {".arm", ".var", ".det", ".pvtype", ".rates"};

class GenProgramTest : public testsupport::ScratchTest {
  protected:
    GenProgramTest() : ScratchTest("genprog") {}

    RunResult Gen(const std::string& args) { return Run(GenProgram(), args); }
};

TEST_F(GenProgramTest, ThreeOrFewerArgumentsPrintTheUsage) {
    for (const char* args : {"", "-P.", "-P. -Nexp1"}) {
        SCOPED_TRACE(::testing::Message() << "arguments [" << args << "]");
        RunResult r = Gen(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, kUsage);
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(Listing().empty());
    }
}

TEST_F(GenProgramTest, FileNamesArePlainConcatenation) {
    // Four arguments are enough to run.
    RunResult r = Gen("-P. -Nexp1 -B0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Listing(), (std::vector<std::string>{".exp1.arm", ".exp1.det", ".exp1.pvtype",
                                                   ".exp1.rates", ".exp1.var"}));

    fs::create_directory(work / "sub");
    ASSERT_EQ(Gen("-Psub -Nx -B0").status, 0);
    ASSERT_EQ(Gen("-Psub/ -Nx -B0").status, 0);
    for (const char* suffix : kSuffixes) {
        SCOPED_TRACE(suffix);
        EXPECT_TRUE(fs::exists(work / (std::string("subx") + suffix)));
        EXPECT_TRUE(fs::exists(work / "sub" / (std::string("x") + suffix)));
        EXPECT_EQ(Output(std::string("subx") + suffix), Output(std::string(".exp1") + suffix));
    }
}

TEST_F(GenProgramTest, OptionsAreEchoedInOrder) {
    RunResult r = Gen("-P./ -Nexp1 -B0 -l3 -ttrace.txt -O f:ram_size:128");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, StartsWith(std::string("path=[./]\n"
                                              "TraceLevel=3\n"
                                              "OverrideString is f:ram_size:128\n") +
                                  kExampleListing0 +
                                  "Overriding global variables in ssg\n"
                                  "SSG: SetTraceLevel: 3\n"
                                  "_$"));
    EXPECT_THAT(
        Output("trace.txt"),
        StartsWith("State Number = 1\n"
                   "Marking: ram_system.ram_working=1 redundant_flash_system.replicas_available=1\n"
                   "Enabled: "));
}

TEST_F(GenProgramTest, UnknownOptionsAreReportedAndIgnored) {
    ASSERT_EQ(Gen("-P./ -Nplain -B0").status, 0);
    RunResult r = Gen("-P./ -Nodd -Qfoo -B0 -Q bar stray -a x");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, StartsWith("path=[./]\n"
                                  "ERROR: unknown argument: -Qfoo\n"
                                  "ERROR: unknown argument: bar\n"
                                  "The Global Variable values"));
    for (const char* suffix : kSuffixes) {
        SCOPED_TRACE(suffix);
        EXPECT_EQ(Output(std::string("odd") + suffix), Output(std::string("plain") + suffix));
    }
}

TEST_F(GenProgramTest, FileTypeOptionChangesNothing) {
    ASSERT_EQ(Gen("-P./ -Nplain -B2").status, 0);
    ASSERT_EQ(Gen("-P./ -Nf5 -B2 -F5").status, 0);
    ASSERT_EQ(Gen("-P./ -Nf2 -B2 -F 2").status, 0);
    for (const char* suffix : kSuffixes) {
        SCOPED_TRACE(suffix);
        std::string plain = Output(std::string("plain") + suffix);
        EXPECT_FALSE(plain.empty());
        EXPECT_EQ(Output(std::string("f5") + suffix), plain);
        EXPECT_EQ(Output(std::string("f2") + suffix), plain);
    }
}

TEST_F(GenProgramTest, MissingOutputDirectoryFails) {
    for (const std::string& program : {GenProgram(), TestModel("exp_model")}) {
        SCOPED_TRACE(program);
        RunResult r = Run(program, "-Pmissing/ -Nx -B0");
        EXPECT_EQ(r.status, 1);
        EXPECT_THAT(r.err, StartsWith("Error: Could not "));
        EXPECT_THAT(r.out, ::testing::Not(HasSubstr("Generated")));
        EXPECT_TRUE(Listing().empty());
    }
}

TEST_F(GenProgramTest, OutputFileThatCannotBeOpenedStopsTheRun) {
    // A directory standing where an output file should go cannot be opened for
    // writing, while the files before it can.
    struct Case {
        std::string program;
        const char* blocked;
        const char* message;
    };
    const Case cases[] = {
        {GenProgram(), "x.det", "Error: Could not open det file \n"},
        {GenProgram(), "x.arm", "Error: Could not open binary file dude\n"},
        {TestModel("exp_model"), "x.arm", "Error: Could not open state space output file\n"},
        {GenProgram(), "x.rates", "Error: Could not open reward rate file\n"},
        {TestModel("exp_model"), "x.rates", "Error: Could not open reward rate file\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.program << " with " << c.blocked << " blocked");
        fs::remove_all(work);
        fs::create_directories(work / c.blocked);
        RunResult r = Run(c.program, "-P./ -Nx -B0");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.message);
        EXPECT_THAT(r.out, ::testing::Not(HasSubstr("Generated")));
    }
}

TEST_F(GenProgramTest, WriteFailingPartWayIsNotReportedAsSuccess) {
    // A file-size limit of one block, with the signal that would kill the
    // process ignored, makes the writes fail once the files outgrow it. The
    // counter experiment writes some 60 kB.
    RunResult r = Run(TestModel("exp_model"), "-P./ -Nbig -B2", "ulimit -f 1 && trap '' XFSZ && ");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("Error: Could not write state space output file\n"));
    EXPECT_THAT(r.err, HasSubstr("Error: Could not write reward file\n"));
    EXPECT_THAT(r.out, ::testing::Not(HasSubstr("Generated")));

    // The same run without the limit succeeds.
    RunResult ok = Run(TestModel("exp_model"), "-P./ -Nbig -B2");
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.err, "");
}

TEST_F(GenProgramTest, ExperimentNumberOutsideTheStudyIsRefused) {
    for (const char* number : {"99", "36", "-1"}) {
        SCOPED_TRACE(number);
        RunResult r = Gen(std::string("-Pout/ -Nx -B") + number);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err,
                  std::string("Error: experiment number ") + number + " is outside 0 to 35\n");
        EXPECT_THAT(r.out, ::testing::Not(HasSubstr("The Global Variable values")));
    }
    // The last experiment is valid.
    RunResult last = Gen("-P./ -Nlast -B35");
    EXPECT_EQ(last.status, 0) << last.err;
    EXPECT_THAT(last.out, HasSubstr("Experiment 36 are:\n"));
}

TEST_F(GenProgramTest, HashLoadFactorOutsideZeroToOneIsRefused) {
    for (const char* factor : {"1.5", "0", "-0.5"}) {
        SCOPED_TRACE(factor);
        RunResult r = Gen(std::string("-P./ -Nx -B0 -h") + factor);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Error: the hash load factor (-h) must be greater than 0 and at most 1\n");
        EXPECT_TRUE(Listing().empty());
    }
    // 1 is the largest factor accepted, and the table's growth point does not
    // change the result.
    ASSERT_EQ(Gen("-P./ -Nplain -B0").status, 0);
    ASSERT_EQ(Gen("-P./ -Nfull -B0 -h1").status, 0);
    for (const char* suffix : kSuffixes) {
        SCOPED_TRACE(suffix);
        EXPECT_EQ(Output(std::string("full") + suffix), Output(std::string("plain") + suffix));
    }
}

} // namespace
