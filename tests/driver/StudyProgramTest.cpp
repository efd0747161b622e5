// The study driver as a modeller runs it: a whole study of a model file into a
// folder, its values against gen and solve run by hand, reruns that keep what did
// not change, and the ways a study fails without losing the other experiments.
#include "common/Csv.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testsupport::ReadFile;

namespace {

const std::string kStudy = std::string(GEN_BINARY_DIR) + "/study";
const std::string kSolve = std::string(GEN_BINARY_DIR) + "/solve";
const std::string kRepair = std::string(GEN_SOURCE_DIR) + "/docs/examples/repair/repair.san";

// A CSV file as records of fields, keyed by the header's names.
std::vector<std::map<std::string, std::string>> ReadCsv(const fs::path& path) {
    std::vector<std::map<std::string, std::string>> rows;
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line))
        return rows;
    const std::vector<std::string> header = Csv::Split(line);
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Csv::Split(line);
        std::map<std::string, std::string> row;
        for (size_t k = 0; k < header.size() && k < f.size(); k++)
            row[header[k]] = f[k];
        rows.push_back(row);
    }
    return rows;
}

class StudyProgramTest : public testsupport::ScratchTest {
  protected:
    StudyProgramTest() : ScratchTest("studytest") {}

    // A copy of a model file in the scratch folder, so that a test may change it.
    std::string CopyModel(const std::string& from, const std::string& name) {
        fs::copy_file(from, work / name, fs::copy_options::overwrite_existing);
        return name;
    }
};

TEST_F(StudyProgramTest, ValuesAreThoseOfGenAndSolveRunByHand) {
    const std::string model = CopyModel(kRepair, "repair.san");
    const testsupport::RunResult r = Run(kStudy, model + " -o out");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_THAT(r.out, HasSubstr("3 of 3 experiments"));
    const auto rows = ReadCsv(work / "out/results.csv");
    ASSERT_EQ(rows.size(), 9u) << r.out; // 3 experiments x (availability + 2 instants)

    // The exact values the model computes with (0.1 + 0.2 is not 0.3 in binary).
    const char* rates[] = {"0.1", "0.30000000000000004", "0.5"};
    for (int k = 0; k < 3; k++) {
        const std::string dir = "hand" + std::to_string(k) + "/";
        fs::create_directories(work / dir);
        const auto g = Run(testsupport::TestModel("simtest_repair"),
                           "-P" + dir + " -Nrepair -B" + std::to_string(k));
        ASSERT_EQ(g.status, 0) << g.out;
        const auto s = Run(kSolve, "-P" + dir + " -Nrepair -c " + dir + "solve.csv");
        ASSERT_EQ(s.status, 0) << s.out << s.err;
        const auto byHand = ReadCsv(work / dir / "solve.csv");
        ASSERT_EQ(byHand.size(), 3u);
        for (size_t v = 0; v < byHand.size(); v++) {
            const auto& row = rows[static_cast<size_t>(k) * 3 + v];
            EXPECT_EQ(row.at("experiment"), std::to_string(k));
            EXPECT_EQ(row.at("fail_rate"), "0.01");
            EXPECT_EQ(row.at("repair_rate"), rates[k]);
            EXPECT_EQ(row.at("method"), "numerical");
            EXPECT_FALSE(row.at("states").empty());
            EXPECT_FALSE(row.at("transitions").empty());
            EXPECT_EQ(row.at("message"), "");
            for (const char* column :
                 {"variable", "kind", "time", "value", "error_bound", "residual"})
                EXPECT_EQ(row.at(column), byHand[v].at(column)) << k << " " << column;
        }
        // The chain the driver generated is the one gen gives by hand.
        EXPECT_EQ(ReadFile(work / ("out/exp" + std::to_string(k)) / "repair.arm"),
                  ReadFile(work / dir / "repair.arm"));
    }
    for (const char* plot : {"availability-vs-repair_rate.svg", "components_up-vs-repair_rate.svg",
                             "components_up-over-time.svg"})
        EXPECT_TRUE(fs::exists(work / "out/plots" / plot)) << plot;
    const std::string report = ReadFile(work / "out/report.html");
    EXPECT_THAT(report, HasSubstr("Study of repair"));
    EXPECT_THAT(report, Not(HasSubstr("What failed")));
    // Nothing is left under a temporary name.
    for (const auto& e : fs::recursive_directory_iterator(work / "out"))
        EXPECT_THAT(e.path().filename().string(), Not(HasSubstr(".tmp"))) << e.path();
}

TEST_F(StudyProgramTest, OverridesReachTheProgramsAndTheTable) {
    const std::string model = CopyModel(kRepair, "repair.san");
    const testsupport::RunResult r = Run(kStudy, model + " -o out -B1 -O d:fail_rate:0.02 -z");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    fs::create_directories(work / "hand");
    ASSERT_EQ(
        Run(testsupport::TestModel("simtest_repair"), "-Phand/ -Nrepair -B1 -Od:fail_rate:0.02 -z")
            .status,
        0);
    ASSERT_EQ(Run(kSolve, "-Phand/ -Nrepair").status, 0);
    const auto rows = ReadCsv(work / "out/results.csv");
    const auto byHand = ReadCsv(work / "hand/repair.csv");
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(byHand.size(), 3u);
    for (size_t v = 0; v < 3; v++) {
        EXPECT_EQ(rows[v].at("fail_rate"), "0.02");
        EXPECT_EQ(rows[v].at("value"), byHand[v].at("value"));
    }
    EXPECT_EQ(ReadFile(work / "out/exp1/repair.arm"), ReadFile(work / "hand/repair.arm"));
}

TEST_F(StudyProgramTest, ARerunComputesOnlyWhatTheChangeTouches) {
    const std::string model = CopyModel(kRepair, "repair.san");
    ASSERT_EQ(Run(kStudy, model + " -o out").status, 0);
    const auto arm = fs::last_write_time(work / "out/exp1/repair.arm");
    const std::string arm1 = ReadFile(work / "out/exp1/repair.arm");
    const std::string results = ReadFile(work / "out/results.csv");

    // Nothing changed: nothing is compiled or run, the same table comes out.
    testsupport::RunResult r = Run(kStudy, model + " -o out");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_THAT(r.out, HasSubstr("the model is unchanged"));
    for (int k = 0; k < 3; k++)
        EXPECT_THAT(r.out, HasSubstr("experiment " + std::to_string(k) +
                                     ": results of an earlier run kept"));
    EXPECT_EQ(fs::last_write_time(work / "out/exp1/repair.arm"), arm);
    EXPECT_EQ(ReadFile(work / "out/results.csv"), results);

    // A value put in front of the slowest factor moves every experiment three up:
    // the three known ones are kept under their new numbers, only the new ones are
    // computed.
    std::string text = ReadFile(work / model);
    const std::string line = "fail_rate = 0.01";
    ASSERT_NE(text.find(line), std::string::npos);
    text.replace(text.find(line), line.size(), "fail_rate = {0.005, 0.01}");
    std::ofstream(work / model) << text;
    r = Run(kStudy, model + " -o out");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    for (int k = 0; k < 3; k++)
        EXPECT_THAT(r.out, HasSubstr("experiment " + std::to_string(k) + ": done"));
    for (int k = 3; k < 6; k++)
        EXPECT_THAT(r.out, HasSubstr("experiment " + std::to_string(k) +
                                     ": results of an earlier run kept"));
    const auto rows = ReadCsv(work / "out/results.csv");
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows[12].at("experiment"), "4");
    EXPECT_EQ(rows[12].at("fail_rate"), "0.01");
    EXPECT_EQ(ReadFile(work / "out/exp4/repair.arm"), arm1);

    // A solver option touches the solutions, not the chains.
    r = Run(kStudy, model + " -o out -B4 -r1e-12");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_THAT(r.out, HasSubstr("experiment 4: done"));
    EXPECT_EQ(fs::last_write_time(work / "out/exp4/repair.arm"), arm);
}

TEST_F(StudyProgramTest, BadInputIsRefusedWithAMessage) {
    std::ofstream(work / "bad.san")
        << "global double x\n\nstudy { x = 1 }\natomic a { place p = 1\n";
    fs::create_directories(work / "folder.san");
    const struct Case {
        std::string args;
        std::string message;
    } cases[] = {
        {kRepair + " -o out -B 0,5", "names experiment 5, but the study has experiments 0 to 2"},
        {kRepair + " -o out -B x", "is not a list of numbers and ranges"},
        {"bad.san -o out", "bad.san:"},
        {"missing.san -o out", "missing.san: no such file"},
        {"folder.san -o out", "folder.san: not a model file"},
        {kRepair + " -o out -q", "unknown option -q"},
        {kRepair + " -o out -m fast", "option -m needs auto, numerical, simulation or both"},
        {kRepair + " -o out -O d:nothing:1", "nothing, which is not a global variable"},
        {kRepair + " -o out -e abc", "option -e needs a number"},
        {"-o out " + kRepair, "the model file comes first"},
    };
    for (const Case& c : cases) {
        const testsupport::RunResult r = Run(kStudy, c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_THAT(r.err, HasSubstr(c.message)) << c.args;
        EXPECT_FALSE(fs::exists(work / "out")) << c.args;
    }
    // The model compiler's message is shown as it is, with its line and column.
    const testsupport::RunResult r = Run(kStudy, "bad.san -o out");
    EXPECT_THAT(r.err, ::testing::ContainsRegex("bad.san:[0-9]+:[0-9]+: error: "));
    EXPECT_EQ(Run(kStudy, "-h").status, 0);
}

TEST_F(StudyProgramTest, ARefusedExperimentFailsAloneAndIsReported) {
    const std::string model =
        CopyModel(std::string(GEN_SOURCE_DIR) + "/tests/driver/data/too_fast.san", "too_fast.san");
    const testsupport::RunResult r = Run(kStudy, model + " -o out");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_THAT(r.out, HasSubstr("experiment 0: FAILED"));
    EXPECT_THAT(r.out, HasSubstr("1 of 2 experiments failed"));
    const auto rows = ReadCsv(work / "out/results.csv");
    std::map<std::string, std::vector<std::map<std::string, std::string>>> byExperiment;
    for (const auto& row : rows)
        byExperiment[row.at("experiment")].push_back(row);
    ASSERT_EQ(byExperiment["1"].size(), 3u);
    for (const auto& row : byExperiment["1"]) {
        EXPECT_EQ(row.at("method"), "numerical");
        EXPECT_NE(row.at("value"), "refused");
    }
    // Experiment 0: its transient values, the refused steady state with the reason,
    // and the row of the failure.
    bool refused = false, failure = false;
    for (const auto& row : byExperiment["0"]) {
        if (row.at("value") == "refused") {
            refused = true;
            EXPECT_EQ(row.at("variable"), "availability");
            EXPECT_THAT(row.at("message"), HasSubstr("steps of uniformisation"));
        }
        if (row.at("method") == "failed") {
            failure = true;
            EXPECT_THAT(row.at("message"), HasSubstr("steps of uniformisation"));
        }
    }
    EXPECT_TRUE(refused);
    EXPECT_TRUE(failure);
    const std::string report = ReadFile(work / "out/report.html");
    EXPECT_THAT(report, HasSubstr("What failed"));
    EXPECT_THAT(report, HasSubstr("steps of uniformisation"));
}

// An infinite mean until a condition is an answer: the row says "infinite" with the
// reason as its message, the run succeeds, and the probability of reaching the
// condition by each time is drawn over time.
TEST_F(StudyProgramTest, AnInfiniteMeanIsShownWithItsReason) {
    const std::string model = CopyModel(
        std::string(GEN_SOURCE_DIR) + "/tests/solver/data/until_branch.san", "branch.san");
    const testsupport::RunResult r = Run(kStudy, model + " -o out");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    bool infinite = false;
    for (const auto& row : ReadCsv(work / "out/results.csv")) {
        if (row.at("variable") != "time_to_good")
            continue;
        infinite = true;
        EXPECT_EQ(row.at("kind"), "until");
        EXPECT_EQ(row.at("value"), "infinite");
        EXPECT_THAT(row.at("message"), HasSubstr("not reached with probability 1"));
    }
    EXPECT_TRUE(infinite);
    EXPECT_TRUE(fs::exists(work / "out/plots/good_by-over-time.svg"))
        << testsupport::Listing(work / "out/plots").size();
}

TEST_F(StudyProgramTest, TheSimulatorStandsInWhereNoChainCanBeSolved) {
    const std::string model = CopyModel(
        std::string(GEN_SOURCE_DIR) + "/tests/simulator/data/weibull_repair.san", "weibull.san");
    const testsupport::RunResult r = Run(kStudy, model + " -o out -R 0.05 -A 0.01 -j1");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_THAT(r.out, HasSubstr("general delays: simulated"));
    const auto rows = ReadCsv(work / "out/results.csv");
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows) {
        EXPECT_EQ(row.at("method"), "simulation");
        EXPECT_FALSE(row.at("error_bound").empty());
    }
    // Asked for numbers only, the same model is a failure with gen's own words.
    const testsupport::RunResult n = Run(kStudy, model + " -o out2 -m numerical");
    EXPECT_EQ(n.status, 1);
    EXPECT_THAT(n.out, HasSubstr("Can not generate state space"));
}

TEST_F(StudyProgramTest, BothMethodsMeetInOnePlot) {
    const std::string model = CopyModel(kRepair, "repair.san");
    const testsupport::RunResult r = Run(kStudy, model + " -o out -m both -R 0.05 -A 0.01");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const auto rows = ReadCsv(work / "out/results.csv");
    size_t numerical = 0, simulated = 0;
    for (const auto& row : rows)
        (row.at("method") == "numerical" ? numerical : simulated)++;
    EXPECT_EQ(numerical, 9u);
    EXPECT_EQ(simulated, 9u);
    const std::string plot = ReadFile(work / "out/plots/components_up-over-time.svg");
    EXPECT_THAT(plot, HasSubstr("<polygon"));         // the simulator's band
    EXPECT_THAT(plot, HasSubstr("stroke-dasharray")); // its curve, beside the solver's
    EXPECT_THAT(plot, HasSubstr("repair_rate=0.3 (numerical)"));
    EXPECT_THAT(plot, HasSubstr("repair_rate=0.3 (simulation)"));
}

} // namespace
