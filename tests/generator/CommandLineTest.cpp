#include "generator/commandline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using ::testing::Eq;
using ::testing::ExitedWithCode;

const char kUsage[] =
    "usage:  gen -Pexperimentfilepath -Nexperimentname -hhash_value -Bexperimentnumber "
    "-Ffiletype -edb_entity -sdb_macserver  -ltrace_level[0-4] -tTraceFilename\n"
    "Example:  gen -P. -Nexp1 -B0\n";

// commandline() writes process-wide settings: every test starts from the values a
// fresh process has.
class CommandLineTest : public ::testing::Test {
  protected:
    int fileType = 1;
    char* traceFileName = nullptr;
    std::vector<std::string> words;
    std::vector<char*> argv;

    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }

    static void Reset() {
        delete[] exp_path;
        delete[] ExpName;
        delete[] db_host;
        delete[] db_entity;
        std::free(OverrideString);
        exp_path = ExpName = db_host = db_entity = OverrideString = nullptr;
        ExpNum = 0;
        hash_value = 0.5;
        flagAbsorb = 0;
        TempTraceLevel = 0;
    }
    void ResetOutParameters() {
        std::free(traceFileName);
        traceFileName = nullptr;
        fileType = 1;
    }
    ~CommandLineTest() override { std::free(traceFileName); }

    // The words after the program name.
    void Arguments(std::vector<std::string> args) {
        words = std::move(args);
        words.insert(words.begin(), "gen");
        argv.clear();
        for (std::string& w : words)
            argv.push_back(&w[0]);
        argv.push_back(nullptr);
    }
    void Parse() {
        commandline(static_cast<int>(words.size()), argv.data(), fileType, traceFileName);
    }
    // Parses and returns what was written on standard output.
    std::string Run(std::vector<std::string> args) {
        ResetOutParameters();
        Reset();
        Arguments(std::move(args));
        testing::internal::CaptureStdout();
        Parse();
        return testing::internal::GetCapturedStdout();
    }
    // For the paths that end the process: their messages go to standard output,
    // which the death-test matcher does not see, so it is joined to standard error.
    void ParseToStderr() {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        Parse();
    }
};

using CommandLineDeathTest = CommandLineTest;

TEST_F(CommandLineDeathTest, TooFewArgumentsPrintUsageAndExitZero) {
    const std::vector<std::vector<std::string>> cases = {{}, {"-P."}, {"-P.", "-Nexp1"}};
    for (const auto& args : cases) {
        Arguments(args);
        EXPECT_EXIT(ParseToStderr(), ExitedWithCode(0), Eq(kUsage)) << args.size() << " words";
    }
}

TEST_F(CommandLineTest, AFourthArgumentMakesItRun) {
    EXPECT_EQ(Run({"-P.", "-Nexp1", "-B0"}), "path=[.]\n");
    EXPECT_STREQ(exp_path, ".");
    EXPECT_STREQ(ExpName, "exp1");
    EXPECT_EQ(ExpNum, 0);
}

TEST_F(CommandLineTest, DefaultsStayWithoutTheirOptions) {
    EXPECT_EQ(Run({"-Pp", "-Nn", "-B4"}), "path=[p]\n");
    EXPECT_EQ(hash_value, 0.5);
    EXPECT_EQ(flagAbsorb, 0);
    EXPECT_EQ(TempTraceLevel, 0);
    EXPECT_EQ(fileType, 1);
    EXPECT_EQ(traceFileName, nullptr);
    EXPECT_EQ(OverrideString, nullptr);
    EXPECT_EQ(db_host, nullptr);
    EXPECT_EQ(db_entity, nullptr);
}

TEST_F(CommandLineTest, GluedAndSeparateValuesAreTheSame) {
    const std::vector<std::vector<std::string>> forms = {
        {"-Pout", "-Nexp1", "-B3", "-h0.25", "-F2", "-ehost_entity", "-sdbhost", "-l2",
         "-ttrace.txt", "-Oi:x:1"},
        {"-P", "out",         "-N", "exp1",   "-B", "3", "-h", "0.25",      "-F", "2",
         "-e", "host_entity", "-s", "dbhost", "-l", "2", "-t", "trace.txt", "-O", "i:x:1"},
    };
    for (const auto& args : forms) {
        std::string out = Run(args);
        SCOPED_TRACE(args.size());
        EXPECT_EQ(out, "path=[out]\nTraceLevel=2\nOverrideString is i:x:1\n");
        EXPECT_STREQ(exp_path, "out");
        EXPECT_STREQ(ExpName, "exp1");
        EXPECT_EQ(ExpNum, 3);
        EXPECT_EQ(hash_value, 0.25);
        EXPECT_EQ(fileType, 2);
        EXPECT_STREQ(db_entity, "host_entity");
        EXPECT_STREQ(db_host, "dbhost");
        EXPECT_EQ(TempTraceLevel, 2);
        EXPECT_STREQ(traceFileName, "trace.txt");
        EXPECT_STREQ(OverrideString, "i:x:1");
    }
}

TEST_F(CommandLineTest, TextsArePrivateCopies) {
    Run({"-Pout", "-N", "exp1", "-Oi:x:1", "-sh", "-ee", "-tt"});
    for (std::string& w : words)
        std::fill(w.begin(), w.end(), '#');
    EXPECT_STREQ(exp_path, "out");
    EXPECT_STREQ(ExpName, "exp1");
    EXPECT_STREQ(OverrideString, "i:x:1");
    EXPECT_STREQ(db_host, "h");
    EXPECT_STREQ(db_entity, "e");
    EXPECT_STREQ(traceFileName, "t");
}

TEST_F(CommandLineTest, EchoedValues) {
    EXPECT_EQ(Run({"-Nexp1", "-l", "3", "-P", "a b"}), "TraceLevel=3\npath=[a b]\n");
    EXPECT_EQ(Run({"-Nexp1", "-B0", "-Os:num_replicas:2"}), "OverrideString is s:num_replicas:2\n");
    // The level is echoed as the number read, not as the text given.
    EXPECT_EQ(Run({"-Nexp1", "-B0", "-l07x"}), "TraceLevel=7\n");
}

TEST_F(CommandLineTest, AbsorbFlagTakesNoValueAndSwallowsAStrayWord) {
    EXPECT_EQ(Run({"-Nexp1", "-a", "x", "-B5"}), "");
    EXPECT_EQ(flagAbsorb, 1);
    EXPECT_EQ(ExpNum, 5);
    EXPECT_EQ(Run({"-a", "-Nexp1", "-B5"}), "");
    EXPECT_EQ(flagAbsorb, 1);
    EXPECT_STREQ(ExpName, "exp1");
    EXPECT_EQ(Run({"-Nexp1", "-B5", "-ayes"}), "");
    EXPECT_EQ(flagAbsorb, 1);
}

TEST_F(CommandLineTest, WordsWithoutADashAreSkipped) {
    EXPECT_EQ(Run({"stray", "-Nexp1", "-B2", "more", "words"}), "");
    EXPECT_STREQ(ExpName, "exp1");
    EXPECT_EQ(ExpNum, 2);
}

TEST_F(CommandLineTest, UnknownOptionsAreReportedAndParsingGoesOn) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"-Q", "foo", "-Nexp1", "-B4"}, "ERROR: unknown argument: foo\n"},
        {{"-Qfoo", "-Nexp1", "-B4"}, "ERROR: unknown argument: -Qfoo\n"},
        {{"-Q", "-Nexp1", "-B4"}, "ERROR: unknown argument: -Q\n"},
        {{"-Nexp1", "-B4", "-Q"}, "ERROR: unknown argument: -Q\n"},
        {{"-Nexp1", "-p", "x", "-B4"},
         "ERROR: unknown argument: x\n"}, // letters are case-sensitive
        {{"-", "-Nexp1", "-B4"}, "ERROR: unknown argument: -\n"},
        {{"-Q", "-Z1", "-Nexp1", "-B4"},
         "ERROR: unknown argument: -Q\nERROR: unknown argument: -Z1\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), c.out) << c.args[0] << " " << c.args[1];
        EXPECT_STREQ(ExpName, "exp1") << c.args[0];
        EXPECT_EQ(ExpNum, 4) << c.args[0];
    }
}

TEST_F(CommandLineTest, FileTypeAndTraceLevelFollowAtoi) {
    struct Case {
        std::string word;
        int value;
    } cases[] = {{"12", 12}, {"abc", 0}, {"12abc", 12}, {"-3", -3}, {"+8", 8}, {" 9", 9}};
    for (const Case& c : cases) {
        Run({"-Nexp1", "-B1", "-F" + c.word, "-l" + c.word});
        EXPECT_EQ(fileType, c.value) << c.word;
        EXPECT_EQ(TempTraceLevel, c.value) << c.word;
    }
}

TEST_F(CommandLineTest, ExperimentNumberIsAWholeNumber) {
    struct Case {
        std::string word;
        int value;
    } cases[] = {{"12", 12}, {"-3", -3}, {"+8", 8}, {" 9", 9}, {"2147483647", 2147483647}};
    for (const Case& c : cases) {
        Run({"-Nexp1", "-B" + c.word});
        EXPECT_EQ(ExpNum, c.value) << c.word;
    }
}

TEST_F(CommandLineDeathTest, NumbersThatSelectSomethingElseAreRefused) {
    // Each would otherwise run another experiment or trace level than the one typed.
    struct Case {
        std::string option;
        std::string message;
    } cases[] = {
        {"-Bx", "ERROR: experiment number (-B) is not a whole number: x\n"},
        {"-B3junk", "ERROR: experiment number (-B) is not a whole number: 3junk\n"},
        {"-B4294967296", "ERROR: experiment number (-B) is out of range: 4294967296 (it must fit "
                         "an int: -2147483648 to 2147483647)\n"},
        {"-B-4294967261", "ERROR: experiment number (-B) is out of range: -4294967261 (it must fit "
                          "an int: -2147483648 to 2147483647)\n"},
        {"-l-2147483649", "ERROR: trace level (-l) is out of range: -2147483649 (it must fit an "
                          "int: -2147483648 to 2147483647)\n"},
        {"-l99999999999999999999", "ERROR: trace level (-l) is out of range: 99999999999999999999 "
                                   "(it must fit an int: -2147483648 to 2147483647)\n"},
    };
    for (const Case& c : cases) {
        Arguments({"-Nexp1", "-B0", c.option});
        EXPECT_EXIT(ParseToStderr(), ExitedWithCode(1), Eq(c.message)) << c.option;
    }
}

TEST_F(CommandLineTest, LoadFactorParsesOrStaysUnchanged) {
    Run({"-Nexp1", "-B0", "-h0.75"});
    EXPECT_EQ(hash_value, 0.75);
    Run({"-Nexp1", "-B0", "-h", "1e-1"});
    EXPECT_EQ(hash_value, 0.1);
    Run({"-Nexp1", "-B0", "-habc"});
    EXPECT_EQ(hash_value, 0.5) << "the default is kept";
    Run({"-Nexp1", "-h0.3", "-hxyz"});
    EXPECT_EQ(hash_value, 0.3) << "the previous value is kept";
    Run({"-Nexp1", "-B0", "-h0.6junk"});
    EXPECT_EQ(hash_value, 0.6);
}

TEST_F(CommandLineTest, RepeatedOptionsOverwrite) {
    EXPECT_EQ(Run({"-Pa", "-Nfirst", "-B1", "-Pb", "-Nsecond", "-B2", "-Ox", "-Oy", "-t1", "-t2",
                   "-sh1", "-sh2", "-ee1", "-ee2", "-l1", "-l4"}),
              "path=[a]\npath=[b]\nOverrideString is x\nOverrideString is y\nTraceLevel=1\n"
              "TraceLevel=4\n");
    EXPECT_STREQ(exp_path, "b");
    EXPECT_STREQ(ExpName, "second");
    EXPECT_EQ(ExpNum, 2);
    EXPECT_STREQ(OverrideString, "y");
    EXPECT_STREQ(traceFileName, "2");
    EXPECT_STREQ(db_host, "h2");
    EXPECT_STREQ(db_entity, "e2");
    EXPECT_EQ(TempTraceLevel, 4);
}

TEST_F(CommandLineTest, WithoutAPathTheFilesAreNamedFromTheNameAlone) {
    EXPECT_EQ(Run({"-Nexp1", "-B0", "-a"}), "");
    ASSERT_NE(exp_path, nullptr);
    EXPECT_STREQ(exp_path, "");
}

TEST_F(CommandLineTest, EmptyNextWordIsAValue) {
    EXPECT_EQ(Run({"-P", "", "-Nexp1", "-B0"}), "path=[]\n");
    EXPECT_STREQ(exp_path, "");
}

TEST_F(CommandLineDeathTest, OptionWithoutItsValueIsAnError) {
    for (char letter : std::string("PNBhFestlO")) {
        const std::string option = std::string("-") + letter;
        const std::string message = "ERROR: option " + option + " needs a value\n";
        // Last word, then followed by another option.
        Arguments({"-Nexp1", "-B0", option});
        EXPECT_EXIT(ParseToStderr(), ExitedWithCode(1), Eq(message)) << option << " at the end";
        Arguments({option, "-a", "-Nexp1"});
        EXPECT_EXIT(ParseToStderr(), ExitedWithCode(1), Eq(message)) << option << " before -a";
    }
}

TEST_F(CommandLineDeathTest, PathFollowedByAnOptionHasNoValue) {
    Arguments({"-P", "-Nexp1", "-B0"});
    EXPECT_EXIT(ParseToStderr(), ExitedWithCode(1), Eq("ERROR: option -P needs a value\n"));
}

TEST_F(CommandLineDeathTest, MissingExperimentNameIsAnError) {
    Arguments({"-Pout", "-B0", "-a"});
    EXPECT_EXIT(ParseToStderr(), ExitedWithCode(1),
                Eq("path=[out]\nERROR: missing experiment name (-N)\n"));
    Arguments({"-Q", "exp1", "-B0"});
    EXPECT_EXIT(ParseToStderr(), ExitedWithCode(1),
                Eq("ERROR: unknown argument: exp1\nERROR: missing experiment name (-N)\n"));
}

} // namespace
