// End-to-end runs of the built gen on the example model: every output file and the report
// are compared byte for byte with files worked out by hand (tests/data/example), with only
// the computation time masked; every experiment of the study must run.
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::RunResult;

namespace {

const std::string kExpected = std::string(GEN_TEST_DATA_DIR) + "/example/";

// exact text of the report line, matched by the front end
const std::string kTimePrefix = "Computation Time (user + system): ";
const std::string kTimeSuffix = " seconds";
const std::string kTimeMask = "<masked>";

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Replaces the number of the computation-time line by kTimeMask and hands the number back,
// so that its format can still be checked. Leaves the text alone if the line is missing.
std::string MaskComputationTime(const std::string& text, std::string* number) {
    const size_t start = text.find(kTimePrefix);
    if (start == std::string::npos)
        return text;
    const size_t from = start + kTimePrefix.size();
    const size_t to = text.find(kTimeSuffix + "\n", from);
    if (to == std::string::npos)
        return text;
    *number = text.substr(from, to - from);
    return text.substr(0, from) + kTimeMask + text.substr(to);
}

// The records after the three header lines: states 1..count in order, each followed by
// (destination in 1..count, value) pairs and a closing "0".
::testing::AssertionResult RecordsAreWellFormed(const std::vector<std::string>& arm, int count) {
    size_t i = 3;
    for (int state = 1; state <= count; ++state) {
        if (i >= arm.size() || arm[i] != std::to_string(state))
            return ::testing::AssertionFailure() << "record of state " << state << " missing";
        for (++i; i < arm.size() && arm[i] != "0"; i += 2) {
            const int dest = std::atoi(arm[i].c_str());
            if (dest < 1 || dest > count || i + 1 >= arm.size())
                return ::testing::AssertionFailure()
                       << "state " << state << ": bad destination line \"" << arm[i] << "\"";
        }
        if (i >= arm.size())
            return ::testing::AssertionFailure() << "state " << state << ": no closing 0";
        ++i;
    }
    if (i != arm.size())
        return ::testing::AssertionFailure() << (arm.size() - i) << " lines after the last record";
    return ::testing::AssertionSuccess();
}

// Each run gets a fresh scratch folder; its work folder, where gen runs, starts with the
// out/ directory the output prefix needs.
class GenRun : public testsupport::ScratchDir {
  public:
    GenRun() : ScratchDir("gen_example_") {
        if (Ready())
            fs::create_directory(OutDir());
    }

    fs::path RunDir() const { return Work(); }
    fs::path OutDir() const { return RunDir() / "out"; }

    RunResult Run(const std::string& args) const {
        return ScratchDir::Run(testsupport::GenProgram(), args);
    }

    std::set<std::string> Listing(const fs::path& dir) const {
        const std::vector<std::string> names = testsupport::Listing(dir);
        return std::set<std::string>(names.begin(), names.end());
    }
};

struct ExampleCase {
    const char* name; // experiment name given with -N, also the prefix of the expected files
    const char* args;
};

std::ostream& operator<<(std::ostream& os, const ExampleCase& c) {
    return os << c.name << " (" << c.args << ")";
}

const ExampleCase kCases[] = {
    {"exp0", "-Pout/ -Nexp0 -B0"},
    {"exp3", "-Pout/ -Nexp3 -B3"},
    {"ov", "-Pout/ -Nov -B0 -Os:num_replicas:2 -a"},
};

const char* const kOutputSuffixes[] = {".arm", ".var", ".det", ".pvtype", ".rates"};

class ExampleRunTest : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(ExampleRunTest, WritesExactlyTheExpectedFilesAndReport) {
    const ExampleCase& c = GetParam();
    GenRun run;
    ASSERT_TRUE(run.Ready()) << "cannot create a temporary directory";
    const RunResult result = run.Run(c.args);
    ASSERT_EQ(0, result.status) << c << "\nstdout:\n" << result.out << "\nstderr:\n" << result.err;
    EXPECT_EQ("", result.err) << c;

    for (const char* suffix : kOutputSuffixes) {
        const std::string file = std::string(c.name) + suffix;
        const std::string expected = ReadFile(kExpected + file);
        ASSERT_FALSE(expected.empty()) << "missing expected file " << kExpected + file;
        EXPECT_EQ(expected, ReadFile(run.OutDir() / file)) << c << ": " << file;
    }

    std::string seconds;
    const std::string expectedReport = ReadFile(kExpected + c.name + ".stdout");
    ASSERT_FALSE(expectedReport.empty()) << "missing expected report for " << c;
    EXPECT_EQ(expectedReport, MaskComputationTime(result.out, &seconds)) << c;
    // The time itself varies; its form (scientific, six digits) does not.
    EXPECT_TRUE(std::regex_match(seconds, std::regex("[0-9]\\.[0-9]{6}e[+-][0-9]{2,3}")))
        << c << ": computation time printed as \"" << seconds << "\"";
}

TEST_P(ExampleRunTest, WritesNothingBesidesItsFiveFiles) {
    const ExampleCase& c = GetParam();
    GenRun run;
    ASSERT_TRUE(run.Ready()) << "cannot create a temporary directory";
    ASSERT_EQ(0, run.Run(c.args).status) << c;

    std::set<std::string> expected;
    for (const char* suffix : kOutputSuffixes)
        expected.insert(std::string(c.name) + suffix);
    EXPECT_EQ(expected, run.Listing(run.OutDir())) << c;
    EXPECT_EQ(std::set<std::string>{"out"}, run.Listing(run.RunDir())) << c;
}

INSTANTIATE_TEST_SUITE_P(ExampleRuns, ExampleRunTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ExampleCase>& info) {
                             return std::string(info.param.name);
                         });

// Overriding num_replicas to 2 in experiment 0 must explore the same model as selecting
// experiment 1 (two replicas, the same power-cycle delay): the override has to reach the
// model's construction, not just the printed listing.
TEST(ExampleOverrideTest, OverrideGivesTheModelOfTheMatchingExperiment) {
    GenRun run;
    ASSERT_TRUE(run.Ready()) << "cannot create a temporary directory";
    const RunResult result = run.Run("-Pout/ -Nexp1 -B1");
    ASSERT_EQ(0, result.status) << result.out << result.err;
    for (const char* suffix : {".arm", ".var", ".det"}) {
        EXPECT_EQ(ReadFile(kExpected + "ov" + suffix),
                  ReadFile(run.OutDir() / ("exp1" + std::string(suffix))))
            << suffix;
    }
    EXPECT_THAT(result.out, ::testing::HasSubstr("num_replicas\tshort\t2\n"));
    EXPECT_THAT(result.out, ::testing::HasSubstr("experiment Experiment 2 are:\n"));
}

// Every experiment of the study runs to completion. The number of states depends only on
// num_replicas (k mod 4 + 1): 13, 21, 29, 37. The power-cycle delay doubles every four
// experiments from 2^-5 and appears as the second delay of the deterministic file.
TEST(ExampleAllExperimentsTest, EveryExperimentRunsWithItsStateCount) {
    const int kStatesByReplicas[] = {13, 21, 29, 37};
    const char* const kDelayByBlock[] = {
        "3.1250000000e-02", "6.2500000000e-02", "1.2500000000e-01",
        "2.5000000000e-01", "5.0000000000e-01", "1.0000000000e+00",
        "2.0000000000e+00", "4.0000000000e+00", "8.0000000000e+00"};
    for (int k = 0; k < 36; ++k) {
        SCOPED_TRACE("experiment " + std::to_string(k));
        GenRun run;
        ASSERT_TRUE(run.Ready()) << "cannot create a temporary directory";
        const std::string name = "e" + std::to_string(k);
        const RunResult result = run.Run("-Pout/ -N" + name + " -B" + std::to_string(k));
        ASSERT_EQ(0, result.status) << result.out << result.err;
        const std::string states = std::to_string(kStatesByReplicas[k % 4]);

        const std::vector<std::string> arm = SplitLines(ReadFile(run.OutDir() / (name + ".arm")));
        ASSERT_GE(arm.size(), 3u);
        EXPECT_EQ("1", arm[0]);
        EXPECT_EQ(states, arm[1]);
        EXPECT_EQ(std::string(8 - states.size() - 1, ' '), arm[2]);
        EXPECT_TRUE(RecordsAreWellFormed(arm, kStatesByReplicas[k % 4]));

        const std::vector<std::string> det = SplitLines(ReadFile(run.OutDir() / (name + ".det")));
        ASSERT_GE(det.size(), 2u);
        EXPECT_EQ("2", det[0]);
        EXPECT_EQ("3.4700000000e-03", det[1]);
        const auto zero = std::find(det.begin() + 2, det.end(), "0");
        ASSERT_NE(det.end(), zero);
        ASSERT_NE(det.end(), zero + 1);
        EXPECT_EQ(kDelayByBlock[k / 4], *(zero + 1));

        const std::vector<std::string> var = SplitLines(ReadFile(run.OutDir() / (name + ".var")));
        EXPECT_EQ(1u + 3u * kStatesByReplicas[k % 4], var.size());

        EXPECT_THAT(result.out, ::testing::HasSubstr("\n_$" + states + "$\nGenerated: " + states +
                                                     " states\n"));
        EXPECT_THAT(result.out, ::testing::HasSubstr("num_replicas\tshort\t" +
                                                     std::to_string(k % 4 + 1) + "\n"));
        EXPECT_THAT(result.out, ::testing::HasSubstr("for experiment Experiment " +
                                                     std::to_string(k + 1) + " are:\n"));
    }
}

} // namespace
