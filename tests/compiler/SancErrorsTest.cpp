// The model compiler as a modeller meets it: one correct model, and a table of the
// mistakes modellers make, each a small edit of that model, with the message (file,
// line, column, what was expected) that must come back, exit status 1 and no output.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using testsupport::SancProgram;

const char* const kModel = R"(global double fail_rate
study { fail_rate = 0.001 .. 0.003 step 0.001 }
atomic machine {
    place up = 1, down
    timed fail { exponential fail_rate; input up; output down }
    timed repair { exponential 0.1; input down; output up }
}
atomic crew { place down }
join plant(machine, crew) { share down: machine, crew }
reward availability { steady; rate machine.up }
)";

struct Mistake {
    const char* what;
    const char* from; // replaced once in the model
    const char* to;
    const char* message;
};

const Mistake kMistakes[] = {
    {"unknown place", "input up;", "input upp;",
     "m.san:5:47: error: unknown place 'upp' in atomic model machine"},
    {"duplicate name", "place up = 1, down", "place up = 1, up",
     "m.san:4:19: error: duplicate name 'up' (first declared at line 4)"},
    {"unknown model in a join", "plant(machine, crew)", "plant(machine, crow)",
     "m.san:9:21: error: unknown model 'crow' in join plant"},
    {"shared place missing in a child", "share down: machine, crew",
     "share down: machine.dwn, crew",
     "m.san:9:49: error: model machine has no place 'dwn' to share"},
    {"shared place missing in a child, by its default name", "share down: machine, crew",
     "share up: machine, crew", "m.san:9:48: error: model crew has no place 'up' to share"},
    {"reward over a missing submodel", "rate machine.up", "rate machne.up",
     "m.san:10:36: error: reward variable availability reads 'machne', which is not an atomic "
     "submodel of plant"},
    {"reward over a missing place", "rate machine.up", "rate machine.upp",
     "m.san:10:44: error: atomic model machine has no place 'upp'"},
    {"case probability missing", "input up; output down }", "input up; case { output down } }",
     "m.san:5:56: error: case probability missing: write 'case <probability> { ... }'"},
    {"arc multiplicity missing", "input up;", "input up *;",
     "m.san:5:51: error: arc multiplicity missing after '*'"},
    {"unknown type", "global double", "global dbl",
     "m.san:1:8: error: unknown type 'dbl' of a global variable: expected bool, char, double, "
     "float, int, long or short"},
    {"syntax: missing brace", "repair { exponential", "repair exponential",
     "m.san:6:18: error: expected '{' to start the activity, found 'exponential'"},
    {"syntax: unclosed model", "output up }\n}", "output up }\n",
     "m.san:8:1: error: expected 'place', 'timed', 'instant' or '}', found 'atomic'"},
    {"syntax: unknown declaration", "atomic crew", "atomc crew",
     "m.san:8:1: error: expected a declaration (global, code, study, atomic, join or reward), "
     "found 'atomc'"},
    {"unknown study variable", "{ fail_rate =", "{ failrate =",
     "m.san:2:9: error: unknown global variable 'failrate' in the study"},
    {"global without a value", "fail_rate\n", "fail_rate, repair_rate\n",
     "m.san:1:26: error: global variable 'repair_rate' has no value: give it one in the study"},
    {"timed activity without distribution", "{ exponential 0.1; input down", "{ input down",
     "m.san:6:11: error: timed activity 'repair' has no distribution: give exponential, "
     "deterministic, erlang, uniform, weibull, normal, lognormal, gamma or triangular"},
    {"general delay with a parameter missing", "{ exponential 0.1;", "{ weibull 1.5;",
     "m.san:6:31: error: expected ',' after the shape of the weibull delay, found ';'"},
    {"reward without kind", "{ steady; rate", "{ rate",
     "m.san:10:8: error: reward variable availability has no kind: give instant, interval, "
     "average or steady"},
    {"negative time", "{ steady;", "{ instant -1;",
     "m.san:10:23: error: the times of reward variable availability must be numbers of at "
     "least 0"},
    {"arc to an array", "place up = 1, down",
     "place up = 1, down, spare[2]\n    timed x { exponential 1; input spare }",
     "m.san:5:36: error: 'spare' is an array of places: an arc connects one place; read and "
     "change an array in a gate"},
    {"array with the wrong number of initial markings", "place up = 1, down",
     "place up = 1, down, spare[3] = {1, 0}",
     "m.san:4:36: error: array 'spare' has 3 places but 2 initial markings"},
    {"array shared with a single place", "atomic crew { place down }",
     "atomic crew { place down[2] }",
     "m.san:9:50: error: shared place down is an array in one member and a single place in "
     "another"},
    {"two top-level models", "join plant(machine, crew) { share down: machine, crew }",
     "join plant(machine) {}",
     "m.san:9:6: error: two top-level models, 'crew' and 'plant': compose them in one join"},
};

class SancTest : public testsupport::ScratchTest {
  protected:
    SancTest() : ScratchTest("sanctest") {}

    testsupport::RunResult Compile(const std::string& text) {
        std::ofstream(work / "m.san") << text;
        return Run(SancProgram(), "m.san out");
    }
};

TEST_F(SancTest, TheModelCompiles) {
    testsupport::RunResult r = Compile(kModel);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Exists("out.h"));
    EXPECT_TRUE(Exists("out.cpp"));
}

TEST_F(SancTest, EachMistakeIsReportedWhereItIsAndNothingIsWritten) {
    for (const Mistake& m : kMistakes) {
        SCOPED_TRACE(m.what);
        std::string text = kModel;
        size_t at = text.find(m.from);
        ASSERT_NE(at, std::string::npos) << m.from;
        text.replace(at, std::string(m.from).size(), m.to);
        testsupport::RunResult r = Compile(text);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, std::string(m.message) + "\n");
        EXPECT_FALSE(Exists("out.h"));
        EXPECT_FALSE(Exists("out.cpp"));
    }
}

TEST_F(SancTest, AnUnreadableFileOrAWrongCommandLineIsAnError) {
    testsupport::RunResult r = Run(SancProgram(), "missing.san out");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sanc: cannot read missing.san: No such file or directory\n");
    r = Run(SancProgram(), "");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("usage: sanc <model file> <output stem>"), std::string::npos);
}

} // namespace
