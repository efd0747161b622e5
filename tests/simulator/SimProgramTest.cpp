// Whole runs of simulator programs: what they write, that a seed makes a run
// reproducible whatever the number of threads, and how they fail.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::Lines;

using testsupport::RunResult;
using testsupport::ScratchTest;
using testsupport::TestModel;

std::string SimProgram() {
    return std::string(GEN_BINARY_DIR) + "/sim";
}

class SimProgramTest : public ScratchTest {
  protected:
    SimProgramTest() : ScratchTest("simtest") {}
};

// The count of "simulation: <n> replications", 0 when missing.
unsigned long Replications(const std::string& out) {
    const size_t at = out.find("simulation: ");
    return at == std::string::npos ? 0 : std::stoul(out.substr(at + 12));
}

TEST_F(SimProgramTest, WritesTheSolversTableAndCsv) {
    const RunResult r =
        Run(TestModel("simtest_two_state_sim"), "-Nrun -n64 -r0 -a0 -w1 -b1 -k2 -S3");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> csv = Lines(Output("run.csv"));
    ASSERT_EQ(csv.size(), 8u) << Output("run.csv");
    EXPECT_EQ(csv[0], "variable,kind,time,value,error_bound,residual");
    const std::vector<std::string> starts = {"up_at,instant,0.5,",
                                             "up_at,instant,1,",
                                             "up_at,instant,2,",
                                             "up_time,interval,\"[0,2]\",",
                                             "up_share,time-averaged,\"[1,3]\",",
                                             "failures,interval,\"[0,2]\",",
                                             "availability,steady-state,-,"};
    for (size_t k = 0; k < starts.size(); k++)
        EXPECT_EQ(csv[k + 1].rfind(starts[k], 0), 0u) << csv[k + 1];
    EXPECT_NE(r.out.find("variable      kind"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("64 replications"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("steady state: warm-up 1, 2 batches of 1"), std::string::npos) << r.out;
}

TEST_F(SimProgramTest, ASeedGivesTheSameResultsOnAnyNumberOfThreads) {
    const std::string args = " -n200 -r0 -a0 -w2 -b2 -k3 -S11";
    ASSERT_EQ(Run(TestModel("simtest_two_state_sim"), "-None -T1" + args).status, 0);
    ASSERT_EQ(Run(TestModel("simtest_two_state_sim"), "-Ntwo -T2" + args).status, 0);
    ASSERT_EQ(Run(TestModel("simtest_two_state_sim"), "-Nthree -T3" + args).status, 0);
    ASSERT_EQ(Run(TestModel("simtest_two_state_sim"), "-Nother -T2 -n200 -r0 -a0 -w2 -b2 -k3 -S12")
                  .status,
              0);
    EXPECT_EQ(Output("one.csv"), Output("two.csv"));
    EXPECT_EQ(Output("one.csv"), Output("three.csv"));
    EXPECT_NE(Output("one.csv"), Output("other.csv"));
}

TEST_F(SimProgramTest, TheStoppingRuleGivesTheSameCountEveryTime) {
    // A loose target, reached after a few blocks.
    const std::string args = " -r0.08 -a0.08 -w2 -b2 -k3 -S5 -n100000";
    const RunResult a = Run(TestModel("simtest_two_state_sim"), "-Na -T1" + args);
    const RunResult b = Run(TestModel("simtest_two_state_sim"), "-Nb -T2" + args);
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_NE(a.out.find(": reached"), std::string::npos) << a.out;
    EXPECT_EQ(Replications(a.out), Replications(b.out));
    EXPECT_GT(Replications(a.out), 32u);
    EXPECT_LT(Replications(a.out), 100000u);
    EXPECT_EQ(Output("a.csv"), Output("b.csv"));
}

// A result that reaches its target is kept: the later replications stop where the
// results still open end. Each result is then what a run of its own count gives.
TEST_F(SimProgramTest, ResultsThatReachTheirTargetAreKept) {
    const RunResult r = Run(TestModel("simtest_repair_sim"), "-Nkept -B0");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string mark = "availability: target reached after ";
    const size_t at = r.out.find(mark);
    ASSERT_NE(at, std::string::npos) << r.out;
    const unsigned long settled = std::stoul(r.out.substr(at + mark.size()));
    const unsigned long all = Replications(r.out);
    ASSERT_LT(settled, all);
    auto row = [&](const std::string& file, const std::string& start) {
        for (const std::string& line : Lines(Output(file)))
            if (line.rfind(start, 0) == 0)
                return line;
        return std::string("(no row " + start + ")");
    };
    ASSERT_EQ(
        Run(TestModel("simtest_repair_sim"), "-Nsettled -B0 -r0 -a0 -n" + std::to_string(settled))
            .status,
        0);
    EXPECT_EQ(row("kept.csv", "availability,"), row("settled.csv", "availability,"));
    // The last result to settle was observed in every replication (the batches of
    // the steady state only observe, they do not change the paths).
    ASSERT_EQ(Run(TestModel("simtest_repair_sim"),
                  "-Nall -B0 -r0 -a0 -w1 -b1 -k1 -n" + std::to_string(all))
                  .status,
              0);
    EXPECT_EQ(row("kept.csv", "components_up,instant,100,"),
              row("all.csv", "components_up,instant,100,"));
}

TEST_F(SimProgramTest, PlotsInstantOfTimeVariablesWithTheirBands) {
    const RunResult r =
        Run(TestModel("simtest_two_state_sim"), "-Nplot -n64 -r0 -a0 -w1 -b1 -k2 -g0:2:5");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = Output("plot_up_at.svg");
    ASSERT_FALSE(svg.empty()) << testing::PrintToString(Listing());
    EXPECT_NE(svg.find("<polygon fill="), std::string::npos);
    EXPECT_NE(svg.find("<polyline fill=\"none\""), std::string::npos);
    EXPECT_NE(svg.find("95% confidence band"), std::string::npos);
    EXPECT_NE(r.out.find("plot: plot_up_at.svg"), std::string::npos);
    // The grid is plotted, not tabled on the screen; its points follow the table's
    // rows in the CSV, as rows of kind "grid", one per time of the grid.
    const std::vector<std::string> csv = Lines(Output("plot.csv"));
    ASSERT_EQ(csv.size(), 13u);
    const char* times[] = {"0", "0.5", "1", "1.5", "2"};
    for (int k = 0; k < 5; k++)
        EXPECT_EQ(csv[8 + k].rfind("up_at,grid," + std::string(times[k]) + ",", 0), 0u)
            << csv[8 + k];
    EXPECT_EQ(r.out.find(",grid,"), std::string::npos);
}

TEST_F(SimProgramTest, MissingTheTargetIsReportedWithStatus1) {
    const RunResult r =
        Run(TestModel("simtest_two_state_sim"), "-Nmiss -n40 -r1e-6 -a1e-9 -w1 -b1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error: the target was not reached within 40 replications"),
              std::string::npos)
        << r.err;
    // The estimates are written all the same.
    EXPECT_EQ(Lines(Output("miss.csv")).size(), 8u);
}

// One fault family: input the simulator cannot run with. Each is a clear message on
// standard error and exit status 1, and no results file.
TEST_F(SimProgramTest, BadInputIsRefusedWithAMessage) {
    const struct {
        std::string program, args, message;
    } cases[] = {
        {SimProgram(), "-Nx -B36", "Error: experiment number 36 is outside 0 to 35"},
        {SimProgram(), "-Nx -B2x", "Error: experiment number (-B) is not a whole number"},
        {SimProgram(), "-Nx -Od:nothing:1",
         "Error: the override string d:nothing:1 could not be "
         "applied; nothing was simulated"},
        {SimProgram(), "-Nx -Q", "Error: unknown option -Q"},
        {TestModel("simtest_faults_sim"), "-Nx -Od:a:-3:d:b:-2",
         "Error: activity fail has the sampled delay -"},
        {TestModel("simtest_faults_sim"), "-Nx -Od:a:nan",
         "Error: activity fail has the sampled delay nan"},
        {TestModel("simtest_dead_sim"), "-Nx", "Error: no timed activity is ever enabled"},
        {TestModel("simtest_zero_time_loop_sim"), "-Nx -n2",
         "instantaneous firings in a row at time"},
        {SimProgram(), "-N '' -cx.csv", "Error: the experiment name (-N) is empty"},
        // Replications that could not finish, refused before the run.
        {TestModel("simtest_two_state_sim"), "-Nx -g0:1e308:5",
         "Error: the replications would run to time "},
        {TestModel("simtest_two_state_sim"), "-Nx -g0:1e15:5",
         "timed firings each at the model's "
         "pace of"},
        {TestModel("simtest_two_state_sim"), "-Nx -w1e15", "more than 1e+09 cannot finish"},
        {TestModel("simtest_two_state_sim"), "-Nx -b1e308", "would run to time inf"},
        // An output that cannot be written is found before the simulation.
        {SimProgram(), "-Nx -n1000000000 -r0 -a0 -cmissing/x.csv",
         "Error: missing/x.csv: cannot write: No such file or directory"},
        {SimProgram(), "-Nx -n1000000000 -r0 -a0 -c.", "Error: .: cannot write: Is a directory"},
        // Importance splitting.
        {TestModel("simtest_two_state_sim"), "-Nx -Inothing",
         "Error: the importance variable (-I) nothing is not a variable of the model (it has "
         "up_at, up_time, up_share, failures, availability)"},
        {SimProgram(), "-Nx -Ireliability", "every timed activity must be exponential; activity "},
        {TestModel("simtest_two_state_sim"), "-Nx -Iup_at -l2,1",
         "Error: the levels (-l) must ascend: 2,1"},
        {TestModel("simtest_two_state_sim"), "-Nx -Iup_at -l1,x",
         "Error: level (-l) is not a number: x"},
        {TestModel("simtest_two_state_sim"), "-Nx -l1",
         "Error: -l and -e set up importance splitting, which -I asks for"},
        {TestModel("simtest_two_state_sim"), "-Nx -Iup_at -e0",
         "Error: paths per level (-e) is not a whole number from 1 to 100000000: 0"},
        {TestModel("simtest_two_state_sim"), "-Nx -I ''",
         "Error: the importance variable (-I) is empty"},
    };
    for (const auto& c : cases) {
        const RunResult r = Run(c.program, c.args);
        EXPECT_EQ(r.status, 1) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos)
            << c.args << "\nstderr: " << r.err << "\nexpected: " << c.message;
        EXPECT_FALSE(Exists("x.csv")) << c.args;
    }
}

TEST_F(SimProgramTest, TinyNumbersAreNumbers) {
    // Below the smallest normal double, but a number all the same.
    const RunResult r = Run(TestModel("simtest_two_state_sim"), "-Nx -a1e-320 -n64");
    EXPECT_EQ(r.err.find("not a number"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("9.99989e-321 absolute"), std::string::npos) << r.out;
}

TEST_F(SimProgramTest, TheTableAndItsPlotsAreOneSet) {
    // A plot that cannot be written (a folder holds its name) leaves no new CSV, and
    // no temporary, and the earlier CSV stays.
    std::ofstream(work / "x.csv") << "earlier";
    std::filesystem::create_directory(work / "x_up_at.svg");
    RunResult r = Run(TestModel("simtest_two_state_sim"), "-Nx -n64 -r0 -a0 -g0:2:3");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("x_up_at.svg: cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(testsupport::ReadFile(work / "x.csv"), "earlier");
    for (const std::string& name : Listing())
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;

    // A link planted under an output's name is replaced, never written through.
    std::filesystem::remove(work / "x_up_at.svg");
    std::ofstream(root / "victim") << "keep me";
    std::filesystem::create_symlink(root / "victim", work / "x_up_at.svg");
    r = Run(TestModel("simtest_two_state_sim"), "-Nx -n64 -r0 -a0 -g0:2:3");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testsupport::ReadFile(root / "victim"), "keep me");
    EXPECT_TRUE(std::filesystem::is_regular_file(work / "x_up_at.svg"));
}

TEST_F(SimProgramTest, UsageWithoutArguments) {
    const RunResult r = Run(SimProgram(), "");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage:"), std::string::npos);
}

} // namespace
