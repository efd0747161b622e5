// Case probabilities of an activity that do not add up to 1 stop gen and the
// simulator alike, with the activity, the sum and where it was found; sums that
// differ from 1 by rounding only pass both. Before, gen normalised such cases and the
// simulator drew from them as they were, so the two disagreed without a word.
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using testsupport::RunResult;
using testsupport::TestModel;

class CaseSumTest : public testsupport::ScratchTest {
  protected:
    CaseSumTest() : ScratchTest("casesum") {}
};

struct Case {
    const char* what;
    int experiment;       // of tests/generator/cases/case_sums.san
    const char* genArgs;  // beyond -P, -N and -B
    const char* genError; // what gen says; null: it succeeds
    const char* simError; // what the simulator says; null: it succeeds
};

TEST_F(CaseSumTest, CasesThatDoNotAddUpToOneStopBothPrograms) {
    const std::vector<Case> cases = {
        {"sound", 0, "", nullptr, nullptr},
        {"sound, eliminating vanishing states", 0, "-z", nullptr, nullptr},
        {"rounding only", 2, "", nullptr, nullptr},
        {"timed cases at 1.01", 1, "",
         "Error: activity go has case probabilities adding up to 1.01 in state 1; they must "
         "add up to 1",
         "activity go has case probabilities adding up to 1.01 at time "},
        {"instantaneous cases at 0.99", 3, "",
         "Error: activity pick has case probabilities adding up to 0.99 in state 1; they must "
         "add up to 1",
         "activity pick has case probabilities adding up to 0.99 at time "},
        {"instantaneous cases at 0.99, eliminating vanishing states", 3, "-z",
         "Error: activity pick has case probabilities adding up to 0.99 in state 1;", nullptr},
        {"timed cases at 1.02 in a later state only", 4, "",
         "Error: activity go has case probabilities adding up to 1.02 in state 4; they must "
         "add up to 1",
         "activity go has case probabilities adding up to 1.02 at time "},
    };
    for (size_t k = 0; k < cases.size(); k++) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.what);
        const std::string name = "run" + std::to_string(k);
        const std::string experiment = " -B" + std::to_string(c.experiment);
        const RunResult gen = Run(TestModel("case_sums"), "-P" + work.string() + "/ -N" + name +
                                                              experiment + " " + c.genArgs);
        if (c.genError == nullptr) {
            EXPECT_EQ(0, gen.status) << gen.err;
            EXPECT_TRUE(Exists(name + ".arm"));
        } else {
            EXPECT_EQ(1, gen.status);
            EXPECT_THAT(gen.err, HasSubstr(c.genError));
            EXPECT_FALSE(Exists(name + ".arm"));
        }
        if (c.genArgs[0] != '\0')
            continue; // -z is gen's alone
        const RunResult sim = Run(TestModel("case_sums_sim"),
                                  "-P" + work.string() + "/ -Nsim -n200 -r1 -a1 -T1" + experiment);
        if (c.simError == nullptr) {
            EXPECT_EQ(0, sim.status) << sim.err;
        } else {
            EXPECT_EQ(1, sim.status);
            EXPECT_THAT(sim.err, HasSubstr(c.simError));
            EXPECT_THAT(sim.err, HasSubstr("; they must add up to 1"));
        }
    }
}

} // namespace
