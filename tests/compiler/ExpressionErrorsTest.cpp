// A mistake inside a model's C++ expression as the modeller meets it: sanc, then the
// C++ compiler on what sanc wrote, as a model's build runs them. Each row is one edit
// of a correct model; the build must report exactly one error, at the line and column
// of the model file where the mistake is, in a function named after the model's atomic
// model (or reward variable), activity and expression. A bracket left open is sanc's
// own error, at the bracket.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kModel = R"(global double fail_rate
study { fail_rate = 0.001 }
code {
    double twice(double x) { return 2 * x; }
}
atomic machine {
    place up = 1, down, spare[2] = {1, 0}
    timed fail { exponential fail_rate; input up; output down }
    timed repair {
        exponential twice(0.05)
        input gate down > 0 { down--; }
        output gate { up++; }
    }
    instant swap {
        rank 1
        input gate spare[0] > 0
        case 0.5 { output gate { spare[0]--; spare[1]++; } }
        case 0.5 { output gate { spare[0]--; } }
    }
    timed wear { deterministic 10; input up * 2; output down * spare[1] }
}
atomic crew { place busy }
join plant(machine, crew) {}
reward availability {
    steady
    rate machine.up + machine.spare[1]
    impulse machine.fail = 1
}
)";

struct Row {
    const char* what;
    const char* from; // replaced once in the model
    const char* to;
    const char* at;       // the mistake: its first place in the edited model is the error's
    const char* message;  // part of the error's text
    const char* function; // the function the C++ compiler names; empty for sanc's errors
};

const Row kRows[] = {
    {"a type error in a rate", "exponential fail_rate;", "exponential fail_rate + \"x\";",
     "+ \"x\"", "invalid operands", "double {anonymous}::machine::fail::rate()"},
    {"a type error on a line indented by a tab", "    timed fail { exponential fail_rate;",
     "\ttimed fail { exponential fail_rate + \"x\";", "+ \"x\"", "invalid operands",
     "double {anonymous}::machine::fail::rate()"},
    {"a type error after a character outside ASCII", "{ exponential fail_rate;",
     "{ /* \xc3\xa9 */ exponential fail_rate + \"x\";", "+ \"x\"", "invalid operands",
     "double {anonymous}::machine::fail::rate()"},
    {"a type error in a rate over two lines", "exponential twice(0.05)",
     "exponential (twice(0.05)\n                     + \"x\")", "+ \"x\"", "invalid operands",
     "double {anonymous}::machine::repair::rate()"},
    {"a type error in a deterministic delay", "deterministic 10;", "deterministic 10 + \"x\";",
     "+ \"x\"", "cannot convert", "double {anonymous}::machine::wear::delay()"},
    {"an unknown name in an input gate's predicate", "input gate down > 0", "input gate dwn > 0",
     "dwn", "'dwn' was not declared", "bool {anonymous}::machine::repair::input_gate_predicate()"},
    {"a type error in an input gate's function", "{ down--; }", "{ down = \"x\"; }", "\"x\"",
     "invalid conversion", "void {anonymous}::machine::repair::input_gate_function(short int&)"},
    {"an unknown name in an output gate", "{ up++; }", "{ up += spares; }", "spares",
     "'spares' was not declared", "void {anonymous}::machine::repair::output_gate(short int&)"},
    {"a type error in a case probability", "case 0.5 { output gate { spare[0]--; spare[1]",
     "case 0.5 * \"p\" { output gate { spare[0]--; spare[1]", "* \"p\"", "invalid operands",
     "double {anonymous}::machine::swap::case1_probability()"},
    {"an unknown name in a case's output gate", "{ spare[0]--; } }", "{ spare[0] -= two; } }",
     "two", "'two' was not declared",
     "void {anonymous}::machine::swap::case2_output_gate(PlaceArray::Marks&)"},
    {"a type error in the rank all cases share", "rank 1", "rank \"1\"", "\"1\"",
     "invalid conversion", "int {anonymous}::machine::swap::rank()"},
    {"a type error in an arc multiplicity", "input up * 2", "input up * \"2\"", "\"2\"",
     "cannot convert", "double {anonymous}::machine::wear::input_arc_up()"},
    {"an unknown name in an initial marking", "place up = 1,", "place up = ones,", "ones",
     "'ones' was not declared", "short int {anonymous}::machine::up::initial()"},
    {"an unknown name in an array's initial markings", "spare[2] = {1, 0}", "spare[2] = {1, zero}",
     "zero", "'zero' was not declared",
     "std::vector<short int> {anonymous}::machine::spare::initial()"},
    {"a type error in a reward rate", "rate machine.up +", "rate machine.up * \"x\" +", "* \"x\"",
     "invalid operands", "double {anonymous}::reward_availability::rate(const machine&)"},
    {"an unknown name in an impulse", "impulse machine.fail = 1",
     "impulse machine.fail = 1 + unknown", "unknown", "'unknown' was not declared",
     "double {anonymous}::reward_availability::impulse_machine_fail()"},
    {"a bracket left open before the next statement", "exponential twice(0.05)",
     "exponential twice(0.05", "(0.05", "'(' not closed: expected ')' before the end of line 10",
     ""},
    {"a bracket left open before the end of the block", "impulse machine.fail = 1\n}",
     "impulse machine.fail = (1\n}\n", "(1",
     "'(' not closed: expected ')' before '}' at line 28, column 1", ""},
    {"a bracket left open before a case", "input gate spare[0] > 0", "input gate spare[0 > 0",
     "[0 > 0", "'[' not closed: expected ']' before the end of line 16", ""},
};

// A model of the constructs whose expressions read more than places: the index of a
// replica, the element of a family's activity, an arc to an element of an array, a
// number of instances set by the study, and the conditions that reward variables
// watch.
const char* const kIndexedModel = R"(global double lambda
global int N
study { lambda = 0.25; N = 2 }
atomic station {
    place queue = replica, b[3]
    timed arrive { exponential lambda * (replica + 1); output queue }
    timed serve[i in b] {
        exponential lambda * (i + 1)
        input gate b[i] >= 0
        output b[2] * 2
    }
}
atomic monitor {
    place up = 1, down
    timed fail { exponential lambda; input up; output down }
}
join polling(station * N, monitor) {}
reward lifetime { until monitor.down; rate station.queue }
reward failed { reach monitor.down within 1 }
)";

const Row kIndexedRows[] = {
    {"an unknown name in a rate that reads the replica's index", "(replica + 1)", "(replica + one)",
     "one)", "'one' was not declared", "double {anonymous}::station::arrive::rate(int)"},
    {"an unknown name in an initial marking that reads the replica's index",
     "place queue = replica,", "place queue = replica + none,", "none", "'none' was not declared",
     "short int {anonymous}::station::queue::initial(int)"},
    {"an unknown name in the rate of a family's activity, beside its index", "(i + 1)", "(i + one)",
     "one)", "'one' was not declared", "double {anonymous}::station::serve::rate(int)"},
    {"an unknown name in the input gate of a family's activity, beside its index",
     "input gate b[i] >= 0", "input gate b[i] >= zero", "zero", "'zero' was not declared",
     "bool {anonymous}::station::serve::input_gate_predicate(PlaceArray::Marks&, int)"},
    // The indices are the model's to read, not to change.
    {"an assignment to the index of a family's activity", "input gate b[i] >= 0",
     "input gate b[i] >= 0 { i = 0; }", "= 0; }", "assignment of read-only parameter 'i'",
     "void {anonymous}::station::serve::input_gate_function(int)"},
    {"a type error in the multiplicity of an arc to an element", "output b[2] * 2",
     "output b[2] * \"2\"", "\"2\"", "cannot convert",
     "double {anonymous}::station::serve::output_arc_b_2()"},
    {"an unknown name in an until condition", "until monitor.down;", "until monitor.down == none;",
     "none", "'none' was not declared",
     "bool {anonymous}::reward_lifetime::condition(const monitor&)"},
    {"an unknown name in a reach condition", "reach monitor.down within",
     "reach monitor.down > none within", "none", "'none' was not declared",
     "bool {anonymous}::reward_failed::condition(const monitor&)"},
    {"an unknown function in a number of instances the study sets", "station * N",
     "station * twice(N)", "twice", "'twice' was not declared",
     "double {anonymous}::join_polling::count_station()"},
    {"a bracket left open before an until", "{ until monitor.down; rate station.queue }",
     "{\n    rate (station.queue\n    until monitor.down\n}", "(station.queue",
     "'(' not closed: expected ')' before the end of line 19", ""},
};

// "m.san:<line>:<column>: error: " for the first place of `at` in `text`, the column
// counted as the C++ compiler counts it: a tab takes it to the next multiple of 8, a
// character outside ASCII counts as one.
std::string ErrorAt(const std::string& text, const std::string& at) {
    const size_t k = text.find(at);
    if (k == std::string::npos)
        return "(not in the model: " + at + ")";
    const size_t lineStart = text.rfind('\n', k) == std::string::npos ? 0 : text.rfind('\n', k) + 1;
    const long line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(k), '\n');
    size_t column = 0;
    for (size_t i = lineStart; i < k; i++)
        if (text[i] == '\t')
            column = (column / 8 + 1) * 8;
        else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            column++;
    return "m.san:" + std::to_string(line) + ":" + std::to_string(column + 1) + ": error: ";
}

std::vector<std::string> Lines(const std::string& text, const std::string& containing) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find(containing) != std::string::npos)
            lines.push_back(line);
    return lines;
}

class ExpressionErrorsTest : public testsupport::ScratchTest {
  protected:
    ExpressionErrorsTest() : ScratchTest("cxxerrtest") {}

    // sanc, then the C++ compiler, on the model; the errors of whichever failed.
    testsupport::RunResult Build(const std::string& text) {
        std::ofstream(work / "m.san") << text;
        testsupport::RunResult r = Run(testsupport::SancProgram(), "m.san out");
        if (r.status != 0)
            return r;
        // The C locale keeps the compiler's quotes plain.
        return Run(GEN_CXX_COMPILER,
                   "-std=c++17 -fsyntax-only -Wall -Wextra -I" GEN_SOURCE_DIR " out.cpp",
                   "export LC_ALL=C && ");
    }

    // Each row's edit of `model` built: exactly one error, where the row says.
    template <size_t N> void ExpectEachOnce(const char* model, const Row (&rows)[N]) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            std::string text = model;
            const size_t k = text.find(row.from);
            ASSERT_NE(k, std::string::npos) << row.from;
            text.replace(k, std::string(row.from).size(), row.to);
            const testsupport::RunResult r = Build(text);
            EXPECT_NE(r.status, 0);
            const std::vector<std::string> errors = Lines(r.err, "error:");
            ASSERT_EQ(errors.size(), 1u) << r.err;
            EXPECT_EQ(errors[0].rfind(ErrorAt(text, row.at), 0), 0u) << r.err;
            EXPECT_NE(errors[0].find(row.message), std::string::npos) << r.err;
            if (*row.function != '\0') {
                const std::vector<std::string> context = Lines(r.err, "In function");
                ASSERT_EQ(context.size(), 1u) << r.err;
                EXPECT_EQ(context[0], "m.san: In function '" + std::string(row.function) + "':");
            } else {
                EXPECT_EQ(r.err, errors[0] + "\n");
            }
        }
    }
};

// Every kind of expression is in the model, an output multiplicity that reads a place
// no arc of its activity touches included.
TEST_F(ExpressionErrorsTest, TheModelBuildsWithoutAWarning) {
    const testsupport::RunResult r = Build(kModel);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST_F(ExpressionErrorsTest, EachMistakeIsReportedOnceWhereItIsInTheModel) {
    ExpectEachOnce(kModel, kRows);
}

TEST_F(ExpressionErrorsTest, TheIndexedModelBuildsWithoutAWarning) {
    const testsupport::RunResult r = Build(kIndexedModel);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

// A number of instances is compiled before the atomic models' expressions, whose
// namespaces would hide a function named like a model from it.
TEST_F(ExpressionErrorsTest, ANumberOfInstancesMayCallAFunctionNamedLikeAnAtomicModel) {
    std::string text = kIndexedModel;
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"station * N", "station * monitor(N)"},
          {"atomic station", "code { int monitor(int n) { return n; } }\natomic station"}}) {
        const size_t k = text.find(from);
        ASSERT_NE(k, std::string::npos) << from;
        text.replace(k, from.size(), to);
    }
    const testsupport::RunResult r = Build(text);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

// Replicas, families, arcs to elements, counts and conditions: their expressions are
// compiled once too, with the indices they read as parameters of those names.
TEST_F(ExpressionErrorsTest, EachMistakeBesideAnIndexIsReportedOnceWhereItIsInTheModel) {
    ExpectEachOnce(kIndexedModel, kIndexedRows);
}

} // namespace
