// What the model compiler emits, and what the programs built from it do: golden
// sources for two small models, the example and the benchmark models compiled from
// their model files writing the same bytes as their hand-written classes, and the
// constructs no hand-written model has (replicas, nested shares, impulses, reward
// kinds, crossed and listed study values) checked on a run.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;

const std::string kSource = GEN_SOURCE_DIR;

class CompiledModelsTest : public testsupport::ScratchTest {
  protected:
    CompiledModelsTest() : ScratchTest("compiledtest") {}
};

// The golden sources are the compiler's output for the model, reviewed by hand when
// the emitter changes; to renew them, run from the folder that holds them:
//   sanc <name>.san <name>_san   (the model copied there under that name)
TEST_F(CompiledModelsTest, EmittedSourcesMatchTheGoldenFiles) {
    const struct {
        std::string model;
        std::string name;
    } kModels[] = {
        {kSource + "/tests/compiler/data/features.san", "features"},
        {kSource + "/docs/examples/repair/repair.san", "repair"},
    };
    for (const auto& m : kModels) {
        SCOPED_TRACE(m.name);
        fs::copy_file(m.model, work / (m.name + ".san"), fs::copy_options::overwrite_existing);
        testsupport::RunResult r =
            Run(testsupport::SancProgram(), m.name + ".san " + m.name + "_san");
        ASSERT_EQ(r.status, 0) << r.err;
        for (const char* suffix : {"_san.h", "_san.cpp"}) {
            std::string golden =
                ReadFile(kSource + "/tests/compiler/data/golden/" + m.name + suffix);
            ASSERT_FALSE(golden.empty()) << m.name << suffix;
            EXPECT_TRUE(Output(m.name + suffix) == golden) << m.name << suffix << " differs";
        }
    }
}

// Runs `program` with `args` into a folder of its own and returns the folder.
fs::path RunInto(const fs::path& root, const std::string& folder, const std::string& program,
                 const std::string& args) {
    fs::path dir = root / folder;
    fs::create_directories(dir);
    std::string command =
        "cd '" + dir.string() + "' && '" + program + "' " + args + " > stdout.txt 2> stderr.txt";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return dir;
}

TEST_F(CompiledModelsTest, CompiledModelsWriteTheBytesOfTheHandWrittenOnes) {
    struct Pair {
        std::string hand;
        std::string compiled;
        std::vector<std::string> runs;
    };
    std::vector<std::string> example;
    for (int k = 0; k < 36; k++)
        example.push_back("-B" + std::to_string(k));
    example.push_back("-B2 -a");
    example.push_back("-B5 -l2");
    example.push_back("-B3 -Os:num_replicas:2 -Of:power_cycle_rate:0.7");
    const Pair kPairs[] = {
        {testsupport::GenProgram(), std::string(GEN_BINARY_DIR) + "/gen_redundant_flash", example},
        {testsupport::BenchProgram("gen_kanban"),
         testsupport::BenchProgram("gen_kanban_san"),
         {"-B0", "-B1", "-B2"}},
        {testsupport::BenchProgram("gen_fms"),
         testsupport::BenchProgram("gen_fms_san"),
         {"-B0", "-B1", "-B2"}},
    };
    int n = 0;
    for (const Pair& p : kPairs) {
        for (const std::string& args : p.runs) {
            SCOPED_TRACE(p.compiled + " " + args);
            std::string common = "-P./ -Nrun " + args;
            fs::path a = RunInto(root, "hand" + std::to_string(n), p.hand, common);
            fs::path b = RunInto(root, "san" + std::to_string(n), p.compiled, common);
            n++;
            for (const char* suffix : {".arm", ".var", ".det", ".pvtype", ".rates"}) {
                bool there = fs::exists(a / (std::string("run") + suffix));
                EXPECT_EQ(there, fs::exists(b / (std::string("run") + suffix))) << suffix;
                if (there) {
                    EXPECT_TRUE(ReadFile(a / (std::string("run") + suffix)) ==
                                ReadFile(b / (std::string("run") + suffix)))
                        << suffix << " differs";
                }
            }
        }
    }
}

TEST_F(CompiledModelsTest, TheFeaturesModelRunsAsWritten) {
    const std::string program = testsupport::TestModel("features_model");
    // The listed variables take their values together, the range varies fastest.
    const char* const kExperiments[] = {
        "spares\tshort\t1\ncrews\tint\t1\nload\tdouble\t0.5\n",
        "spares\tshort\t1\ncrews\tint\t1\nload\tdouble\t1\n",
        "spares\tshort\t1\ncrews\tint\t1\nload\tdouble\t1.5\n",
        "spares\tshort\t2\ncrews\tint\t2\nload\tdouble\t0.5\n",
        "spares\tshort\t2\ncrews\tint\t2\nload\tdouble\t1\n",
        "spares\tshort\t2\ncrews\tint\t2\nload\tdouble\t1.5\n",
    };
    for (int k = 0; k < 6; k++) {
        SCOPED_TRACE(k);
        testsupport::RunResult r = Run(program, "-P./ -Nf -B" + std::to_string(k));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(kExperiments[k]), std::string::npos) << r.out.substr(0, 400);
    }
    testsupport::RunResult r = Run(program, "-P./ -Nf -B6");
    EXPECT_EQ(r.status, 1);

    Run(program, "-P./ -Nf -B0");
    EXPECT_EQ(Output("f.pvtype"), "Version:1\nNumPV:5\n"
                                  "Name:busy\nType:0\nNumTimes:2\n"
                                  "Start:0\nStop:0\nStart:2.5\nStop:2.5\n"
                                  "Name:settled\nType:0\nNumTimes:1\nStart:5\nStop:5\n"
                                  "Name:downtime\nType:1\nNumTimes:1\nStart:0\nStop:10\n"
                                  "Name:mean_done\nType:2\nNumTimes:2\n"
                                  "Start:0\nStop:10\nStart:10\nStop:20\n"
                                  "Name:long_run\nType:3\nNumTimes:0\n");
    // Per state: its number, then (impulse, rate) per variable. In the initial state
    // busy sums up = 2 over both servers; settled is slots[2] - slots[0] = 2 - 1 of the
    // array the depot shares with the servers; downtime has one worker per (server,
    // depot) pair, each adding down = 0 and stock = 1; long_run's rate is alarms, which
    // starts at spares = 1. The first transition (fail of one server) earns long_run's
    // impulse of 1 in state 2, where one server has 1 up.
    const std::string expected = "busy\nsettled\ndowntime\nmean_done\nlong_run\n"
                                 "1\n0\n4\n0\n1\n0\n2\n0\n0\n0\n1\n"
                                 "2\n0\n3\n0\n1\n0\n3\n0\n0\n1\n1\n";
    EXPECT_EQ(Output("f.var").substr(0, expected.size()), expected);
}

} // namespace
