// The model compiler as a modeller meets it: one correct model, and a table of the
// mistakes modellers make, each a small edit of that model, with the message (file,
// line, column, what was expected) that must come back, exit status 1 and no output.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

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
    // A bracket left open in an expression: reported at the bracket, before the
    // statements that follow are taken into the expression.
    {"bracket left open before the next line's statement", "exponential 0.1;",
     "exponential std::min(0.1,\n    input down;",
     "m.san:6:40: error: '(' not closed: expected ')' before the end of line 6"},
    {"bracket left open before the end of the activity", "exponential fail_rate;",
     "exponential (fail_rate;",
     "m.san:5:30: error: '(' not closed: expected ')' before '}' at line 5, column 64"},
    {"square bracket left open in a reward", "rate machine.up }", "rate machine.up[0 }",
     "m.san:10:46: error: '[' not closed: expected ']' before '}' at line 10, column 49"},
    {"bracket left open at the end of the file", "rate machine.up }\n", "rate (machine.up",
     "m.san:10:36: error: '(' not closed: expected ')' before the end of the file"},
    // Numbers the types cannot hold, and ranges that would never end.
    {"a step past the largest double", "0.001 .. 0.003 step 0.001", "0.5 .. 1.5 step 1e400",
     "m.san:2:37: error: 1e400 is too large for a number: the largest is about 1.8e308"},
    {"bounds past the largest double", "0.001 .. 0.003 step 0.001", "1e400 .. 1e400",
     "m.san:2:21: error: 1e400 is too large for a number: the largest is about 1.8e308"},
    {"a double that vanishes", "0.001 .. 0.003 step 0.001", "1e-400",
     "m.san:2:9: error: value 1e-400 of 'fail_rate' is not a double"},
    {"a float past the largest float",
     "global double fail_rate\nstudy { fail_rate = 0.001 .. 0.003 step 0.001 }",
     "global float fail_rate\nstudy { fail_rate = 1e39 }",
     "m.san:2:9: error: value 1e39 of 'fail_rate' is not a float"},
    {"a long past the largest long",
     "global double fail_rate\nstudy { fail_rate = 0.001 .. 0.003 step 0.001 }",
     "global long fail_rate\nstudy { fail_rate = 9223372036854775800 .. 9223372036854775808 }",
     "m.san:2:21: error: the whole number 9223372036854775808 is beyond the range of a long"},
    {"a range of too many values", "0.001 .. 0.003 step 0.001", "0 .. 1e9",
     "m.san:2:21: error: the range has more than 100000 values"},
};

// Names the generated C++ cannot carry, places a reward names without their submodel,
// and ranks no instantaneous activity can have: each refused where it is written, with
// what to write instead.
const Mistake kNameMistakes[] = {
    {"a global named after a maths function", "global double fail_rate",
     "global double fail_rate, gamma",
     "m.san:1:26: error: 'gamma' cannot name a global variable: the C and C++ standard headers "
     "the generated code includes declare it at file scope, where global variables are; choose "
     "another name, such as 'my_gamma'"},
    {"a global named after a glibc Bessel function", "global double fail_rate",
     "global double fail_rate, y1",
     "m.san:1:26: error: 'y1' cannot name a global variable: the C and C++ standard headers the "
     "generated code includes declare it at file scope, where global variables are; choose "
     "another name, such as 'my_y1'"},
    {"a global named after a standard type", "global double fail_rate",
     "global double fail_rate, size_t",
     "m.san:1:26: error: 'size_t' cannot name a global variable: the C and C++ standard headers "
     "the generated code includes declare it at file scope, where global variables are; choose "
     "another name, such as 'my_size_t'"},
    {"a global named after a standard macro", "global double fail_rate",
     "global double fail_rate, EOF",
     "m.san:1:26: error: 'EOF' cannot name a global variable: it is a macro of the C and C++ "
     "standard headers the generated code includes; choose another name, such as 'my_EOF'"},
    {"a place named after a keyword", "place up = 1, down", "place up = 1, down, new",
     "m.san:4:25: error: 'new' cannot name a place: it is a C++ keyword; choose another name, "
     "such as 'my_new'"},
    {"a place named after a macro", "place up = 1, down", "place up = 1, down, NULL",
     "m.san:4:25: error: 'NULL' cannot name a place: it is a macro of the C and C++ standard "
     "headers the generated code includes; choose another name, such as 'my_NULL'"},
    {"a place named after a framework member", "place up = 1, down", "place up = 1, down, Places",
     "m.san:4:25: error: 'Places' cannot name a place: it is a name of the framework the "
     "generated classes are built on; choose another name, such as 'my_Places'"},
    {"a place named after a variable of the generated code", "place up = 1, down",
     "place up = 1, down, size",
     "m.san:4:25: error: 'size' cannot name a place: the generated code uses it for its own "
     "variables; choose another name, such as 'my_size'"},
    {"a global named after a parameter of the generated code", "global double fail_rate",
     "global double fail_rate, value",
     "m.san:1:26: error: 'value' cannot name a global variable: the generated code uses it for "
     "its own variables; choose another name, such as 'my_value'"},
    {"an activity named after a framework method", "timed repair", "timed Rate",
     "m.san:6:11: error: 'Rate' cannot name an activity: it is a name of the framework the "
     "generated classes are built on; choose another name, such as 'my_Rate'"},
    {"an activity named after a framework class", "timed repair", "timed Place",
     "m.san:6:11: error: 'Place' cannot name an activity: it is a name of the framework the "
     "generated classes are built on; choose another name, such as 'my_Place'"},
    {"a model named after a keyword", "atomic crew", "atomic class",
     "m.san:8:8: error: 'class' cannot name a model: it is a C++ keyword; choose another name, "
     "such as 'my_class'"},
    {"a shared place named after a keyword", "share down: machine, crew",
     "share down: machine, crew\n    share int: machine.up",
     "m.san:10:11: error: 'int' cannot name a shared place: it is a C++ keyword; choose another "
     "name, such as 'my_int'"},
    {"a reward variable named after a keyword", "reward availability", "reward delete",
     "m.san:10:8: error: 'delete' cannot name a reward variable: it is a C++ keyword; choose "
     "another name, such as 'my_delete'"},
    {"a name with a leading underscore", "timed fail", "timed _fail",
     "m.san:5:11: error: '_fail' cannot name an activity: names that begin with '_' or contain "
     "'__' are reserved to the C++ implementation; choose another name, such as 'my_fail'"},
    {"a name with a double underscore", "timed fail", "timed fail__safe",
     "m.san:5:11: error: 'fail__safe' cannot name an activity: names that begin with '_' or "
     "contain '__' are reserved to the C++ implementation; choose another name, such as "
     "'my_fail_safe'"},
    {"the first of two bad names in the file", "global double fail_rate",
     "global double fail_rate, exp\natomic new {}",
     "m.san:1:26: error: 'exp' cannot name a global variable: the C and C++ standard headers "
     "the generated code includes declare it at file scope, where global variables are; choose "
     "another name, such as 'my_exp'"},
    {"a place called as the function it is named after",
     "place up = 1, down\n    timed fail { exponential fail_rate;",
     "place up = 1, down, exp\n    timed fail { exponential exp(fail_rate);",
     "m.san:5:30: error: 'exp' is called here, but in atomic model machine it names a place, "
     "which hides any function of that name: rename the place, such as 'my_exp'"},
    {"an activity called as the function it is named after", "timed fail { exponential fail_rate;",
     "timed log { exponential log(fail_rate);",
     "m.san:5:29: error: 'log' is called here, but in atomic model machine it names an "
     "activity, which hides any function of that name: rename the activity, such as 'my_log'"},
    {"an atomic model called as the function it is named after",
     "timed fail { exponential fail_rate;", "timed fail { exponential crew(fail_rate);",
     "m.san:5:30: error: 'crew' is called here, but in atomic model machine it names an "
     "atomic model, which hides any function of that name: rename the atomic model, such as "
     "'my_crew'"},
    {"a global named after an atomic model",
     "global double fail_rate\nstudy { fail_rate = 0.001 .. 0.003 step 0.001 }",
     "global double fail_rate, crew\nstudy { fail_rate = 0.001 .. 0.003 step 0.001; crew = 1 }",
     "m.san:1:26: error: global variable 'crew' has the name of atomic model crew, which hides "
     "it in expressions: rename one of them, such as 'my_crew'"},
    {"a reward calling a function named after a submodel it reads", "rate machine.up",
     "rate machine.up * machine(1)",
     "m.san:10:49: error: 'machine' is called here, but in reward variable availability it "
     "names a submodel, which hides any function of that name: rename the submodel, such as "
     "'my_machine'"},
    {"a reward naming a place without its submodel", "rate machine.up", "rate up",
     "m.san:10:36: error: reward variable availability names place 'up' without its "
     "submodel: write 'machine.up'"},
    {"a reward naming a place two submodels have", "rate machine.up", "rate machine.up + down",
     "m.san:10:49: error: reward variable availability names place 'down' without its "
     "submodel: write 'crew.down' or 'machine.down'"},
    {"an impulse naming a place without its submodel", "rate machine.up",
     "rate machine.up\n    impulse machine.fail = up",
     "m.san:11:28: error: reward variable availability names place 'up' without its "
     "submodel: write 'machine.up'"},
    {"a negative rank", "output up }\n}",
     "output up }\n    instant fix { rank -1; input down; output up }\n}",
     "m.san:7:24: error: rank -1 of instantaneous activity 'fix' is negative: write a rank of 0 "
     "or more (of the enabled instantaneous activities, those of the highest rank fire)"},
    {"a negative rank in parentheses", "output up }\n}",
     "output up }\n    instant fix { rank ( - 2 ); input down; output up }\n}",
     "m.san:7:24: error: rank ( - 2 ) of instantaneous activity 'fix' is negative: write a rank "
     "of 0 or more (of the enabled instantaneous activities, those of the highest rank fire)"},
};

// Edits that must still compile: a standard-library name is free where the generated
// code makes it a class member, a place name may be a global's or a function's in a
// reward, and a rank of 0 is the lowest.
struct Accepted {
    const char* what;
    std::vector<std::pair<const char*, const char*>> edits; // each made once, in order
};
const Accepted kAccepted[] = {
    {"a join named after a library function", {{"join plant", "join system"}}},
    {"a place named after a library function",
     {{"place up = 1, down", "place up = 1, down, index"}}},
    {"a reward variable named after a framework name", {{"reward availability", "reward Rate"}}},
    {"a reward reading a global of a place's name",
     {{"global double fail_rate", "global double fail_rate, down"},
      {"step 0.001 }", "step 0.001; down = 1 }"},
      {"rate machine.up", "rate machine.up * down"}}},
    {"a reward calling a helper of a place's name",
     {{"rate machine.up", "rate down(machine.up)"},
      {"atomic crew", "code { double down(int x) { return x; } }\natomic crew"}}},
    {"a place named after a parameter of the generated study",
     {{"place up = 1, down", "place up = 1, down, value"}}},
    {"a reward calling a helper named after a submodel it does not read",
     {{"rate machine.up", "rate machine.up * crew(1)"},
      {"atomic crew", "code { double crew(int x) { return x; } }\natomic crew"}}},
    {"a helper called in an activity of another model that has a place of its name",
     {{"exponential 0.1;", "exponential 0.1 * spare(1);"},
      {"atomic machine", "code { double spare(int x) { return x; } }\natomic machine"},
      {"atomic crew { place down }", "atomic crew { place down, spare }"}}},
    {"an expression over lines that begin with words of statements",
     {{"global double fail_rate", "global double fail_rate, rate"},
      {"step 0.001 }", "step 0.001; rate = 1 }"},
      {"exponential 0.1;", "exponential std::min(0.1,\n        rate\n    );"}}},
    {"initial markings over lines, the last closing the list",
     {{"place up = 1, down", "place up = 1, down, spare[2] = {1,\n        0\n    }"}}},
    {"a rank of 0",
     {{"output up }\n}", "output up }\n    instant fix { rank 0; input down; output up }\n}"}}},
    {"a rank that is an expression",
     {{"output up }\n}", "output up }\n    instant fix { rank 1 - 1; input down; output up }\n}"}}},
};

class SancTest : public testsupport::ScratchTest {
  protected:
    SancTest() : ScratchTest("sanctest") {}

    testsupport::RunResult Compile(const std::string& text) {
        std::ofstream(work / "m.san") << text;
        return Run(SancProgram(), "m.san out");
    }

    // The model with the row's edit made once.
    static std::string Edited(const Mistake& m) {
        std::string text = kModel;
        const size_t at = text.find(m.from);
        EXPECT_NE(at, std::string::npos) << m.from;
        if (at != std::string::npos)
            text.replace(at, std::string(m.from).size(), m.to);
        return text;
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

TEST_F(SancTest, EachNameRewardOrRankMistakeIsReportedWhereItIsWithTheFix) {
    for (const Mistake& m : kNameMistakes) {
        SCOPED_TRACE(m.what);
        testsupport::RunResult r = Compile(Edited(m));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, std::string(m.message) + "\n");
        EXPECT_FALSE(Exists("out.h"));
    }
}

TEST_F(SancTest, NamesThatClashWithNothingAreAccepted) {
    for (const Accepted& a : kAccepted) {
        SCOPED_TRACE(a.what);
        std::string text = kModel;
        for (const auto& [from, to] : a.edits) {
            const size_t at = text.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            text.replace(at, std::string(from).size(), to);
        }
        testsupport::RunResult r = Compile(text);
        EXPECT_EQ(r.status, 0) << r.err;
        std::filesystem::remove(work / "out.h");
        std::filesystem::remove(work / "out.cpp");
    }
}

TEST_F(SancTest, BytesThatCannotBePrintedAreNamedWhereTheyAre) {
    std::string text = kModel;
    text.replace(text.find("input up;"), 9, std::string("input up\0;", 10));
    testsupport::RunResult r = Compile(text);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "m.san:5:49: error: expected the end of the statement (a line end or ';'), "
                     "found the byte 0x00\n");
    text = kModel;
    text.replace(text.find("input up;"), 9, "input up\xc3\xa9;");
    r = Compile(text);
    EXPECT_EQ(r.err, "m.san:5:49: error: expected the end of the statement (a line end or ';'), "
                     "found the byte 0xc3\n");
    EXPECT_FALSE(Exists("out.h"));
}

TEST_F(SancTest, ARangeThatEndsAtTheLargestLongIsExact) {
    std::string text = kModel;
    const std::string from =
        "global double fail_rate\nstudy { fail_rate = 0.001 .. 0.003 step 0.001 }";
    text.replace(text.find(from), from.size(),
                 "global long fail_rate\nstudy { fail_rate = 9223372036854775805 .. "
                 "9223372036854775807 }");
    std::ofstream(work / "m.san") << text;
    const testsupport::RunResult r = Run(SancProgram(), "--experiments m.san");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "model\tplant\nglobal\tlong\tfail_rate\n"
                     "experiment\t0\t9223372036854775805\n"
                     "experiment\t1\t9223372036854775806\n"
                     "experiment\t2\t9223372036854775807\n");
}

TEST_F(SancTest, TheOutputIsWrittenAsOneSetAndNeverThroughAPlantedLink) {
    // Too small a file-size limit for the source: neither file appears, no temporary
    // is left, and the reason is the real one.
    std::ofstream(work / "m.san") << kModel;
    testsupport::RunResult r = Run(SancProgram(), "m.san out", "ulimit -f 8 && ");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sanc: out.cpp: cannot write: File too large\n");
    EXPECT_EQ(Listing(), std::vector<std::string>{"m.san"});

    // A link planted at a temporary name of earlier versions leads nowhere now.
    std::ofstream(root / "victim") << "keep me";
    for (const char* name : {"out.h.tmp", "out.cpp.tmp"})
        std::filesystem::create_symlink(root / "victim", work / name);
    r = Run(SancProgram(), "m.san out");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testsupport::ReadFile(root / "victim"), "keep me");
    EXPECT_TRUE(std::filesystem::is_regular_file(work / "out.h"));

    // An output folder that cannot be made says why.
    r = Run(SancProgram(), "m.san m.san/out");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sanc: cannot make the folder m.san: Not a directory\n");
}

TEST_F(SancTest, AModelPathWithALineEndKeepsTheLineDirectivesWhole) {
    std::ofstream(work / "a\nb.san") << kModel;
    const testsupport::RunResult r = Run(SancProgram(), "\"$(printf 'a\\nb.san')\" out");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string source = Output("out.cpp");
    EXPECT_NE(source.find("#line 5 \"a\\012b.san\""), std::string::npos);
    EXPECT_EQ(source.find("\nb.san"), std::string::npos);
}

TEST_F(SancTest, AnUnreadableFileOrAWrongCommandLineIsAnError) {
    testsupport::RunResult r = Run(SancProgram(), "missing.san out");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sanc: cannot read missing.san: No such file or directory\n");
    std::filesystem::create_directory(work / "folder.san");
    r = Run(SancProgram(), "folder.san out");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sanc: cannot read folder.san: Is a directory\n");
    r = Run(SancProgram(), "");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("usage: sanc <model file> <output stem>"), std::string::npos);
}

} // namespace
