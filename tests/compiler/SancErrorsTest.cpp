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
     "average, steady, until or reach"},
    // The reward until a condition holds, and the probability of reaching it.
    {"until without a condition", "{ steady;", "{ until;",
     "m.san:10:28: error: expected the condition, found ';'"},
    {"reach earning a rate", "{ steady; rate machine.up }",
     "{ reach machine.down; rate machine.up }",
     "m.san:10:48: error: reward variable availability is the probability of reaching its "
     "condition and earns no reward: drop its rate and impulses, or write 'until' for the "
     "reward earned until the condition holds"},
    {"until without a reward", "{ steady; rate machine.up }", "{ until machine.down }",
     "m.san:10:8: error: reward variable availability has neither a rate nor an impulse"},
    {"a condition that reads no place", "{ steady;", "{ until 1;",
     "m.san:10:29: error: the condition of reward variable availability reads no place: name "
     "the markings it depends on as <submodel>.<place>"},
    {"a condition naming a place without its submodel", "{ steady; rate machine.up }",
     "{ reach up }",
     "m.san:10:29: error: reward variable availability names place 'up' without its "
     "submodel: write 'machine.up'"},
    {"a condition over a replicated submodel",
     "plant(machine, crew) { share down: machine, crew }\nreward availability { steady; rate "
     "machine.up }",
     "plant(machine * 2, crew) { share down: machine, crew }\nreward availability { until "
     "machine.up == 0; rate 1 }",
     "m.san:10:29: error: the condition of reward variable availability reads 'machine', of "
     "which plant holds 2 instances: a condition reads submodels of one instance (share the "
     "places it needs with one)"},
    {"a condition over a submodel the study replicates",
     "plant(machine, crew) { share down: machine, crew }\nreward availability { steady; rate "
     "machine.up }",
     "plant(machine * fail_rate, crew) { share down: machine, crew }\nreward availability { "
     "until machine.up == 0; rate 1 }",
     "m.san:10:29: error: the condition of reward variable availability reads 'machine', of "
     "which plant holds as many instances as the study sets: a condition reads submodels of "
     "one instance (share the places it needs with one)"},
    // A rate that reads no place is earned once, in a submodel of one instance.
    {"a rate that reads no place where every submodel is replicated",
     "plant(machine, crew) { share down: machine, crew }\nreward availability { steady; rate "
     "machine.up }",
     "plant(machine * 2, crew * 2) { share down: machine, crew }\nreward availability { steady; "
     "rate 1 }",
     "m.san:10:36: error: the rate of reward variable availability reads no place, and every "
     "submodel of plant is replicated: a rate is summed over the instances it reads, so name a "
     "place of the instances it is meant for"},
    {"within without times", "{ steady;", "{ reach machine.down within;",
     "m.san:10:48: error: expected a time (a number), found ';'"},
    {"within without a condition", "{ steady; rate machine.up }", "{ reach within 3 }",
     "m.san:10:29: error: expected the condition before 'within', found 'within'"},
    {"within after until", "{ steady;", "{ until machine.down within 3;",
     "m.san:10:42: error: 'within' bounds the time of a 'reach' variable; the reward until a "
     "condition has no time bound"},
    {"a negative time within", "{ steady; rate machine.up }", "{ reach machine.down within -1 }",
     "m.san:10:23: error: the times of reward variable availability must be numbers of at "
     "least 0"},
    {"until beside another kind", "{ steady;", "{ steady; until machine.down;",
     "m.san:10:31: error: a second kind for reward variable availability"},
    {"negative time", "{ steady;", "{ instant -1;",
     "m.san:10:23: error: the times of reward variable availability must be numbers of at "
     "least 0"},
    {"arc to an array", "place up = 1, down",
     "place up = 1, down, spare[2]\n    timed x { exponential 1; input spare }",
     "m.san:5:36: error: 'spare' is an array of places: an arc connects one place; name an "
     "element by its index, such as 'spare[0]'"},
    // Elements of arrays named in arcs, and activity families.
    {"an element index past the end of the array", "place up = 1, down\n",
     "place up = 1, down, spare[2]\n    timed x { exponential 1; output spare[2] * 2 }\n",
     "m.san:5:43: error: index 2 is out of range for array 'spare' of 2 places (0 to 1)"},
    {"an element index only the running model knows", "place up = 1, down\n",
     "place up = 1, down, spare[2]\n    timed x { exponential 1; input spare[up] }\n",
     "m.san:5:42: error: the index of an element in an arc must be known when the model is "
     "compiled: a whole number, found 'up'"},
    {"another index than the family's", "place up = 1, down\n",
     "place up = 1, down, spare[2]\n    timed x[i in spare] { exponential 1; input spare[i + 1] "
     "}\n",
     "m.san:5:54: error: the index of an element in an arc must be known when the model is "
     "compiled: a whole number or the index 'i' of the family, found 'i + 1'"},
    {"a family's index on an array of another size", "place up = 1, down\n",
     "place up = 1, down, spare[2], extra[3]\n    timed x[i in spare] { exponential 1; input "
     "extra[i] }\n",
     "m.san:5:54: error: activity family 'x' runs over 'spare' of 2 places, but 'extra' has 3: "
     "an arc by the family's index names an element of an array of the same size"},
    {"the index of a replica in a reward", "rate machine.up }", "rate machine.up * replica }",
     "m.san:10:49: error: reward variable availability reads 'replica', the index of a "
     "replica, which only the expressions of an atomic model have"},
    {"an index on a single place", "input up;", "input up[0];",
     "m.san:5:50: error: 'up' is a single place: an index selects an element of an array of "
     "places"},
    {"a family over a single place", "timed fail {", "timed fail[i in up] {",
     "m.san:5:21: error: activity family 'fail' runs over 'up', which is not an array of places "
     "of atomic model machine"},
    {"a family whose index is a place", "place up = 1, down\n",
     "place up = 1, down, spare[2]\n    timed x[down in spare] { exponential 1 }\n",
     "m.san:5:13: error: the index 'down' of activity family 'x' is a place of atomic model "
     "machine: choose another name, such as 'k'"},
    {"a family whose index is a global variable", "place up = 1, down\n",
     "place up = 1, down, spare[2]\n    timed x[fail_rate in spare] { exponential 1 }\n",
     "m.san:5:13: error: the index 'fail_rate' of activity family 'x' is a global variable, "
     "which it would hide: choose another name, such as 'k'"},
    {"a family without 'in'", "timed fail {", "timed fail[i of up] {",
     "m.san:5:18: error: expected 'in' after the index of the family, found 'of'"},
    {"an impulse on a family",
     "timed repair { exponential 0.1; input down; output up }\n}\natomic crew { place down }\n"
     "join plant(machine, crew) { share down: machine, crew }\n"
     "reward availability { steady; rate machine.up }",
     "timed repair[i in spare] { exponential 0.1 }\n    place spare[2]\n}\n"
     "atomic crew { place down }\njoin plant(machine, crew) { share down: machine, crew }\n"
     "reward availability { steady; rate machine.up; impulse machine.repair = 1 }",
     "m.san:11:64: error: 'repair' is a family of activities: an impulse is earned by one "
     "activity, not by a family"},
    // Numbers of instances.
    {"a number of instances that reads a place", "plant(machine, crew)",
     "plant(machine * up, crew)",
     "m.san:9:22: error: the number of instances of machine in join plant reads 'up', which is "
     "not a global variable: a number of instances is a whole number or an expression over "
     "global variables"},
    {"a number of instances that is not whole", "plant(machine, crew)",
     "plant(machine * 2.5, crew)",
     "m.san:9:22: error: the number of instances must be a whole number from 1 to 9999"},
    {"a number of instances of 0", "plant(machine, crew)", "plant(machine * 0, crew)",
     "m.san:9:22: error: the number of instances must be a whole number from 1 to 9999"},
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
    {"a place named after the index of a replica", "place up = 1, down",
     "place up = 1, down, replica",
     "m.san:4:25: error: 'replica' cannot name a place: in the model's expressions it is the "
     "index of the replica; choose another name, such as 'my_replica'"},
    {"a global named after the index of a replica", "global double fail_rate",
     "global double fail_rate, replica",
     "m.san:1:26: error: 'replica' cannot name a global variable: in the model's expressions it "
     "is the index of the replica; choose another name, such as 'my_replica'"},
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
    {"the reward until a condition over a submodel of one instance, its rate over copies",
     {{"join plant(machine, crew)", "join plant(machine * 2, crew)"},
      {"{ steady; rate machine.up }", "{ until crew.down == 2; rate machine.up }"}}},
    {"the probability of reaching a condition, ever and within times",
     {{"{ steady; rate machine.up }",
       "{ steady; rate machine.up }\nreward lost { reach machine.down && crew.down }\n"
       "reward lost_by { reach (machine.down) within 1, 2.5 }"}}},
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
