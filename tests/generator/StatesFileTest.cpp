// The states file (gen -m): the marking of every state under the number it has in
// the .arm file, as a user reads it to find a state. The example's experiment 0 is
// compared with a file checked by hand; the numbering is checked against the reward
// file, which holds a marking of its own per state; the trace shows the same markings.
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::Lines;

using ::testing::HasSubstr;
using testsupport::GenProgram;
using testsupport::ReadFile;
using testsupport::RunResult;
using testsupport::TestModel;

const std::string kExpected = std::string(GEN_TEST_DATA_DIR) + "/example/";
const char* const kThreads[] = {"GEN_TEST_THREADS=1 ", "GEN_TEST_THREADS=2 "};

// The words of a line of the states file after its state number: "name=value".
std::vector<std::string> Places(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    in >> word;
    while (in >> word)
        words.push_back(word);
    return words;
}

// The value of `name` in a line, "" when the line does not list it.
std::string ValueOf(const std::string& line, const std::string& name) {
    for (const std::string& w : Places(line))
        if (w.compare(0, name.size() + 1, name + "=") == 0)
            return w.substr(name.size() + 1);
    return "";
}

class StatesFileTest : public testsupport::ScratchTest {
  protected:
    StatesFileTest() : ScratchTest("statesfile") {}
    void SetUp() override {
        ScratchTest::SetUp();
        std::filesystem::create_directory(work / "out");
    }
    RunResult Gen(const std::string& args, const char* threads = "") {
        return Run(GenProgram(), args, threads);
    }
};

TEST_F(StatesFileTest, TheExampleExperimentZeroIsTheCheckedFile) {
    const std::string expected = ReadFile(kExpected + "example.states");
    ASSERT_FALSE(expected.empty());
    for (const char* threads : kThreads) {
        SCOPED_TRACE(threads);
        RunResult r = Gen("-Pout/ -Nexample -B0 -m", threads);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(Output("out/example.states"), expected);
        // Asking for the markings changes no other file.
        for (const char* suffix : {".arm", ".var", ".det", ".pvtype"})
            EXPECT_EQ(Output(std::string("out/example") + suffix),
                      ReadFile(kExpected + "exp0" + suffix))
                << suffix;
        EXPECT_EQ(r.out.find("-m"), std::string::npos) << "the option is not echoed";
    }
}

TEST_F(StatesFileTest, StateNumbersAreThoseOfTheStateSpaceAndRewardFiles) {
    // Experiment 3 has four replicas and 37 states. The reward of each state is the
    // marking of system_failed, so the reward file tells which state is which.
    for (const char* threads : kThreads) {
        SCOPED_TRACE(threads);
        RunResult r = Gen("-Pout/ -Nall -B3 -mall", threads);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> arm = Lines(Output("out/all.arm"));
        const std::vector<std::string> var = Lines(Output("out/all.var"));
        const std::vector<std::string> states = Lines(Output("out/all.states"));
        ASSERT_GE(arm.size(), 2u);
        ASSERT_EQ(std::to_string(states.size()), arm[1]);
        ASSERT_EQ(var.size(), 1 + 3 * states.size());
        for (size_t k = 0; k < states.size(); k++) {
            const std::string number = std::to_string(k + 1);
            SCOPED_TRACE("state " + number);
            EXPECT_EQ(states[k].substr(0, states[k].find(' ')), number);
            EXPECT_EQ(var[1 + 3 * k], number);
            EXPECT_EQ(ValueOf(states[k], "ram_system.system_failed"), var[3 + 3 * k]);
            // Every place, in the order of the state vector, the shared one last.
            const std::vector<std::string> places = Places(states[k]);
            ASSERT_EQ(places.size(), 5u);
            EXPECT_EQ(places[0].substr(0, 23), "ram_system.ram_working=");
            EXPECT_EQ(places[4].substr(0, 16), "flash_corrupted=");
        }
        // Every state once: two lines with the same marking would be one state.
        std::vector<std::string> markings;
        for (const std::string& line : states)
            markings.push_back(line.substr(line.find(' ')));
        std::sort(markings.begin(), markings.end());
        EXPECT_EQ(std::adjacent_find(markings.begin(), markings.end()), markings.end());
    }
}

TEST_F(StatesFileTest, ByDefaultOnlyNonzeroPlacesAreListed) {
    ASSERT_EQ(Gen("-Pout/ -Nall -B3 -m all").status, 0);
    ASSERT_EQ(Gen("-Pout/ -Nsome -B3 -m").status, 0);
    ASSERT_EQ(Gen("-Pout/ -Nnamed -B3 -mnonzero").status, 0);
    const std::vector<std::string> all = Lines(Output("out/all.states"));
    const std::vector<std::string> some = Lines(Output("out/some.states"));
    ASSERT_EQ(all.size(), some.size());
    EXPECT_EQ(Output("out/named.states"), Output("out/some.states"));
    for (size_t k = 0; k < all.size(); k++) {
        std::string kept = all[k].substr(0, all[k].find(' '));
        for (const std::string& w : Places(all[k]))
            if (w.substr(w.size() - 2) != "=0")
                kept += " " + w;
        EXPECT_EQ(some[k], kept);
    }
}

TEST_F(StatesFileTest, ReplicasArraysAndNestedSharesHaveNamesOfTheirOwn) {
    // Two servers, an array shared in plant, and plant's queue shared by site as alarms.
    RunResult r = Run(TestModel("features_model"), "-Pout/ -Nf -B0 -mall");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> states = Lines(Output("out/f.states"));
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states[0], "1 plant.server[0].up=2 plant.server[0].down=0 plant.server[0].done=0 "
                         "plant.server[1].up=2 plant.server[1].down=0 plant.server[1].done=0 "
                         "plant.depot.stock=1 plant.slots[0]=1 plant.slots[1]=0 "
                         "plant.slots[2]=2 alarms=1");
    EXPECT_EQ(std::to_string(states.size()), Lines(Output("out/f.arm"))[1]);
}

TEST_F(StatesFileTest, WithEliminationOnlyStableStatesAreListed) {
    // The loop between a and b is vanishing: its markings get no number.
    for (const char* threads : kThreads) {
        SCOPED_TRACE(threads);
        RunResult r = Run(TestModel("elim_loop"), "-Pout/ -Nz -B0 -z -mall", threads);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Output("out/z.states"), "1 idle=1 a=0 b=0 done1=0 done2=0\n"
                                          "2 idle=0 a=0 b=0 done1=1 done2=0\n"
                                          "3 idle=0 a=0 b=0 done1=0 done2=1\n");
    }
}

TEST_F(StatesFileTest, TheTraceShowsEachStatesMarkingAfterItsNumber) {
    RunResult r = Gen("-Pout/ -Nt -B3 -m -l1 -ttrace.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> states = Lines(Output("out/t.states"));
    const std::vector<std::string> trace = Lines(Output("trace.txt"));
    size_t seen = 0;
    for (size_t i = 0; i < trace.size(); i++) {
        if (trace[i].rfind("State Number = ", 0) != 0)
            continue;
        const std::string number = trace[i].substr(15);
        ASSERT_LT(i + 1, trace.size());
        ASSERT_LT(seen, states.size());
        EXPECT_EQ(trace[i + 1], "Marking:" + states[seen].substr(number.size())) << number;
        seen++;
    }
    EXPECT_EQ(seen, states.size());
}

TEST_F(StatesFileTest, ARunWithoutTheOptionLeavesNoStatesFileOfAnEarlierRun) {
    ASSERT_EQ(Gen("-Pout/ -Nrun -B0 -m").status, 0);
    EXPECT_TRUE(Exists("out/run.states"));
    ASSERT_EQ(Gen("-Pout/ -Nrun -B0").status, 0);
    EXPECT_FALSE(Exists("out/run.states")) << "it would be read as belonging to these results";
    EXPECT_TRUE(Exists("out/run.arm"));
}

TEST_F(StatesFileTest, AnUnknownSelectionIsRefusedBeforeAnyWork) {
    RunResult r = Gen("-Pout/ -Nrun -B0 -mevery");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("ERROR: the states file option (-m) takes no value, 'nonzero' "
                                 "or 'all': every\n"));
    EXPECT_TRUE(testsupport::Listing(work / "out").empty());
}

TEST_F(StatesFileTest, TheTraceFileCannotBeTheStatesFile) {
    RunResult r = Gen("-Pout/ -Nrun -B0 -m -l1 -tout/run.states");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("is one of the run's output files"));
}

} // namespace
