#ifndef SANC_AST_H
#define SANC_AST_H

#include "compiler/Source.h"

#include <string>
#include <vector>

// The model file as written: names with the place they were written at, and C++
// fragments kept as text (the compiler substitutes names in them, nothing more).

struct Name {
    std::string text;
    Position at;
};

struct Fragment {
    std::string text;
    Position at;
    // What precedes the fragment on its line, as blanks of the same bytes (tabs
    // kept): written before the text, it puts the text at its own column for the C++
    // compiler's messages.
    std::string indent;
    bool empty() const { return text.find_first_not_of(" \t\r\n") == std::string::npos; }
};

struct Global {
    Name type;
    Name name;
};

// One factor of the study: a variable that takes one value in every experiment, or
// several variables that take their k-th values together.
struct StudyValues {
    Name variable;
    std::vector<std::string> values; // C++ literals, one per level
};
struct StudyFactor {
    std::vector<StudyValues> columns;
    Position at;
};

struct Arc {
    Name place;
    Fragment element;      // empty: a place; else the index of an element of an array
    Fragment multiplicity; // empty: one token
};

struct InputGate {
    Fragment predicate;
    Fragment function; // may be empty: a gate that only enables
    Position at;
};

// What happens when an activity (or one of its cases) completes, in firing order
// after the input side: output arcs, then output gate functions.
struct Outputs {
    std::vector<Arc> arcs;
    std::vector<Fragment> gates;
};

struct Case {
    Fragment probability;
    Outputs outputs;
    Position at;
};

enum class Timing { Timed, Instantaneous };
enum class DistributionKind {
    None,
    Exponential,
    Deterministic,
    Erlang,
    // General delays, which only a simulation can use: their parameters are in `general`.
    Uniform,
    Weibull,
    Normal,
    Lognormal,
    Gamma,
    Triangular
};

struct ActivityDecl {
    Name name;
    // A family, `name[index in array]`: one activity per element of the array, each
    // with its element's index under the name `index`. Both empty: one activity.
    Name index;
    Name array;
    bool IsFamily() const { return !array.text.empty(); }
    Timing timing = Timing::Timed;
    DistributionKind distribution = DistributionKind::None;
    Position distributionAt;
    Fragment rate;                 // exponential rate, deterministic delay, Erlang rate
    Fragment phases;               // Erlang only
    std::vector<Fragment> general; // the parameters of a general delay
    Fragment weight;
    Fragment rank;
    std::vector<Arc> inputs;
    std::vector<InputGate> inputGates;
    Outputs outputs; // shared by every case
    std::vector<Case> cases;
};

struct PlaceDecl {
    Name name;
    Fragment initial; // empty: no tokens; for an array, one marking for all or {a, b, ...}
    Fragment size;    // empty: a place; else an array of that many places
    bool IsArray() const { return !size.text.empty(); }
};

struct AtomicDecl {
    Name name;
    std::vector<PlaceDecl> places;
    std::vector<ActivityDecl> activities;
};

struct ChildDecl {
    Name model;
    int copies = 1; // instances of one model share its name
    // A count over global variables, evaluated when the model is built; empty when
    // `copies` holds a count written as a number.
    Fragment count;
    bool Runtime() const { return !count.text.empty(); }
};

struct ShareMember {
    Name child;
    Name place; // the child's place; defaults to the shared name
};

struct ShareDecl {
    Name name;
    std::vector<ShareMember> members;
};

struct JoinDecl {
    Name name;
    std::vector<ChildDecl> children;
    std::vector<ShareDecl> shares;
};

// Until: the reward earned until the condition first holds; Reach: the probability
// that it ever holds; ReachWithin: that it holds by each time.
enum class RewardKind {
    None,
    Instant,
    Interval,
    TimeAveraged,
    SteadyState,
    Until,
    Reach,
    ReachWithin
};

struct Impulse {
    Name model;
    Name activity;
    Fragment value;
};

struct RewardDecl {
    Name name;
    RewardKind kind = RewardKind::None;
    Position kindAt;
    std::vector<std::string> starts; // C++ literals
    std::vector<std::string> stops;
    Fragment rate; // empty: no rate reward
    std::vector<Impulse> impulses;
    Fragment condition; // of the kinds Until, Reach and ReachWithin
};

struct ModelFile {
    std::vector<Global> globals;
    std::vector<StudyFactor> study;
    bool hasStudy = false;
    std::vector<Fragment> code;
    std::vector<AtomicDecl> atomics;
    std::vector<JoinDecl> joins;
    std::vector<RewardDecl> rewards;
};

#endif
