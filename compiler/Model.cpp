#include "compiler/Model.h"

#include "compiler/ReservedNames.h"
#include "compiler/Rewrite.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

const char* const kTypes[] = {"bool", "char", "double", "float", "int", "long", "short"};

void AddOnce(std::vector<std::string>& list, const std::string& name) {
    if (std::find(list.begin(), list.end(), name) == list.end())
        list.push_back(name);
}

// The place in the model file of offset `k` of a fragment.
Position Within(const Fragment& f, size_t k) {
    Position p = f.at;
    for (size_t i = 0; i < k && i < f.text.size(); i++) {
        if (f.text[i] == '\n') {
            p.line++;
            p.column = 1;
        } else {
            p.column++;
        }
    }
    return p;
}

[[noreturn]] void Fail(Position at, const std::string& what) {
    throw ModelError(at, what);
}

// Checks that a name is new among `seen`, remembering it.
void Unique(std::map<std::string, Position>& seen, const Name& name, const std::string& kind) {
    auto found = seen.find(name.text);
    if (found != seen.end())
        Fail(name.at, "duplicate " + kind + " '" + name.text + "' (first declared at line " +
                          std::to_string(found->second.line) + ")");
    seen[name.text] = name.at;
}

// Whether a study value is of the variable's type: whole numbers in range for the
// integral types, true/false/0/1 for bool, any number for float and double.
bool ValueFits(const std::string& type, const std::string& literal) {
    if (literal == "true" || literal == "false")
        return type == "bool";
    if (type == "float" || type == "double") {
        // A number the type cannot hold would be infinity or 0 in C++, silently.
        const double v = std::strtod(literal.c_str(), nullptr);
        const std::string mantissa = literal.substr(0, literal.find_first_of("eE"));
        const bool zero = mantissa.find_first_of("123456789") == std::string::npos;
        if (type == "float")
            return std::fabs(v) <= FLT_MAX && (zero || std::fabs(v) >= FLT_TRUE_MIN);
        return std::isfinite(v) && (zero || v != 0.0);
    }
    if (literal.find_first_of(".eE") != std::string::npos)
        return false;
    errno = 0;
    long long v = std::strtoll(literal.c_str(), nullptr, 10);
    if (errno != 0)
        return false;
    if (type == "bool")
        return v == 0 || v == 1;
    if (type == "char")
        return v >= CHAR_MIN && v <= CHAR_MAX;
    if (type == "short")
        return v >= SHRT_MIN && v <= SHRT_MAX;
    if (type == "int")
        return v >= INT_MIN && v <= INT_MAX;
    return v >= LONG_MIN && v <= LONG_MAX;
}

// The member named after the identifier that ends at `end` ("model . place"): true with
// [from, to) its name, false when no '.' follows (or a range's "..").
bool MemberAfter(const std::string& text, size_t end, size_t& from, size_t& to) {
    size_t k = end;
    while (k < text.size() && (text[k] == ' ' || text[k] == '\t'))
        k++;
    if (k >= text.size() || text[k] != '.' || (k + 1 < text.size() && text[k + 1] == '.'))
        return false;
    k++;
    while (k < text.size() && (text[k] == ' ' || text[k] == '\t'))
        k++;
    size_t m = k;
    while (m < text.size() && (std::isalnum(static_cast<unsigned char>(text[m])) || text[m] == '_'))
        m++;
    from = k;
    to = m;
    return true;
}

bool NonNegativeNumber(const std::string& literal) {
    char* end = nullptr;
    double v = std::strtod(literal.c_str(), &end);
    return end != literal.c_str() && *end == '\0' && v >= 0;
}

// "'a.x'", "'a.x' or 'b.x'", "'a.x', 'b.x' or 'c.x'".
std::string Alternatives(const std::vector<std::string>& names) {
    std::string out;
    for (size_t k = 0; k < names.size(); k++)
        out += (k == 0 ? "" : k + 1 == names.size() ? " or " : ", ") + ("'" + names[k] + "'");
    return out;
}

// What a name the generated code cannot carry is, and a name to write instead.
std::string ReservedReason(ReservedKind kind) {
    switch (kind) {
    case ReservedKind::Implementation:
        return "names that begin with '_' or contain '__' are reserved to the C++ "
               "implementation";
    case ReservedKind::Keyword:
        return "it is a C++ keyword";
    case ReservedKind::StandardMacro:
        return "it is a macro of the C and C++ standard headers the generated code includes";
    case ReservedKind::StandardLibrary:
        return "the C and C++ standard headers the generated code includes declare it at "
               "file scope, where global variables are";
    case ReservedKind::Framework:
        return "it is a name of the framework the generated classes are built on";
    case ReservedKind::Language:
        return "in the model's expressions it is the index of the replica";
    default:
        return "the generated code uses it for its own variables";
    }
}

std::string Replacement(const std::string& name) {
    std::string core;
    for (char c : name)
        if (c != '_' || (!core.empty() && core.back() != '_'))
            core += c;
    while (!core.empty() && core.back() == '_')
        core.pop_back();
    return "my_" + (core.empty() ? std::string("name") : core);
}

// Whether the identifier that ends at `end` is called: a '(' follows it.
bool Called(const std::string& text, size_t end) {
    const size_t next = text.find_first_not_of(" \t\r\n", end);
    return next != std::string::npos && text[next] == '(';
}

// The value of a rank written as a number (blanks and parentheses allowed), or false
// when it is an expression only the running model can evaluate.
bool LiteralNumber(const std::string& text, double& value) {
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)) && c != '(' && c != ')')
            t += c;
    if (t.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    return *end == '\0';
}

} // namespace

Model::Model(ModelFile file) : file_(std::move(file)) {
    CheckNames();
    CheckGlobals();
    CheckStudy();
    std::map<std::string, Position> models;
    for (const AtomicDecl& a : file_.atomics) {
        Unique(models, a.name, "model");
        atomicByName_[a.name.text] = &a;
    }
    for (const JoinDecl& j : file_.joins) {
        Unique(models, j.name, "model");
        joinByName_[j.name.text] = &j;
    }
    // The functions of an atomic model's expressions are gathered under its name,
    // which would hide a global variable of that name from them.
    for (const Global& g : file_.globals)
        if (FindAtomic(g.name.text) != nullptr)
            Fail(g.name.at, "global variable '" + g.name.text + "' has the name of atomic model " +
                                g.name.text +
                                ", which hides it in expressions: rename one of "
                                "them, such as '" +
                                Replacement(g.name.text) + "'");
    for (const AtomicDecl& a : file_.atomics)
        CheckAtomic(a);
    CheckJoins();
    FindTop();
    CheckRewards();
    FindReplicaUsers();
}

const AtomicDecl* Model::FindAtomic(const std::string& name) const {
    auto it = atomicByName_.find(name);
    return it == atomicByName_.end() ? nullptr : it->second;
}

const JoinDecl* Model::FindJoin(const std::string& name) const {
    auto it = joinByName_.find(name);
    return it == joinByName_.end() ? nullptr : it->second;
}

std::string Model::ClassOf(const std::string& model) const {
    return model + (FindAtomic(model) != nullptr ? "SAN" : "RJ");
}

bool Model::HasRuntimeCount(const JoinDecl& join) {
    return std::any_of(join.children.begin(), join.children.end(),
                       [](const ChildDecl& c) { return c.Runtime(); });
}

// A join whose count is set by the study holds those instances in a vector named
// after the model, whose elements are its children.
std::vector<std::pair<std::string, std::string>> Model::ChildMembers(const JoinDecl& join) {
    std::vector<std::pair<std::string, std::string>> members;
    for (const ChildDecl& c : join.children) {
        if (c.copies == 1 || c.Runtime())
            members.emplace_back(c.model.text, c.model.text);
        else
            for (int k = 1; k <= c.copies; k++)
                members.emplace_back(c.model.text + "_" + std::to_string(k), c.model.text);
    }
    return members;
}

// ---------------------------------------------------------------- names

void Model::CheckNames() const {
    // Where each name ends up in the generated code decides what it may clash with:
    // a global variable is at file scope beside the standard library's names; places,
    // activities, models and shared places are members of classes derived from the
    // framework's; a reward variable's name is only a string there.
    enum Role { GlobalVar, PlaceVar, Member, RewardVar };
    struct Named {
        const Name* name;
        const char* what;
        Role role;
    };
    std::vector<Named> names;
    for (const Global& g : file_.globals)
        names.push_back({&g.name, "a global variable", GlobalVar});
    for (const AtomicDecl& a : file_.atomics) {
        names.push_back({&a.name, "a model", Member});
        for (const PlaceDecl& p : a.places)
            names.push_back({&p.name, "a place", PlaceVar});
        for (const ActivityDecl& act : a.activities) {
            names.push_back({&act.name, "an activity", Member});
            if (act.IsFamily())
                names.push_back({&act.index, "the index of an activity family", PlaceVar});
        }
    }
    for (const JoinDecl& j : file_.joins) {
        names.push_back({&j.name, "a model", Member});
        for (const ShareDecl& s : j.shares)
            names.push_back({&s.name, "a shared place", PlaceVar});
    }
    for (const RewardDecl& r : file_.rewards)
        names.push_back({&r.name, "a reward variable", RewardVar});
    // The first bad name in the file is the one reported.
    std::stable_sort(names.begin(), names.end(), [](const Named& a, const Named& b) {
        return a.name->at.line != b.name->at.line ? a.name->at.line < b.name->at.line
                                                  : a.name->at.column < b.name->at.column;
    });
    for (const Named& n : names) {
        const ReservedKind kind = ReservedNameKind(n.name->text);
        bool clash = false;
        switch (kind) {
        case ReservedKind::Implementation:
        case ReservedKind::Keyword:
            clash = true;
            break;
        case ReservedKind::StandardMacro:
        case ReservedKind::Framework:
            clash = n.role != RewardVar;
            break;
        case ReservedKind::StandardLibrary:
            clash = n.role == GlobalVar;
            break;
        case ReservedKind::StudyLocal:
            clash = n.role == GlobalVar;
            break;
        case ReservedKind::ModelLocal:
            clash = n.role == GlobalVar || n.role == PlaceVar;
            break;
        case ReservedKind::Language:
            clash = n.role != RewardVar;
            break;
        case ReservedKind::None:
            break;
        }
        if (clash)
            Fail(n.name->at, "'" + n.name->text + "' cannot name " + n.what + ": " +
                                 ReservedReason(kind) + "; choose another name, such as '" +
                                 Replacement(n.name->text) + "'");
    }
}

// ---------------------------------------------------------------- globals and study

void Model::CheckGlobals() {
    std::map<std::string, Position> seen;
    for (const Global& g : file_.globals) {
        if (std::find(std::begin(kTypes), std::end(kTypes), g.type.text) == std::end(kTypes))
            Fail(g.type.at, "unknown type '" + g.type.text +
                                "' of a global variable: expected bool, char, double, float, "
                                "int, long or short");
        Unique(seen, g.name, "global variable");
    }
}

void Model::CheckStudy() {
    std::map<std::string, const StudyValues*> given;
    std::map<std::string, Position> seen;
    for (const StudyFactor& factor : file_.study) {
        size_t levels = factor.columns.front().values.size();
        for (const StudyValues& column : factor.columns) {
            bool known =
                std::any_of(file_.globals.begin(), file_.globals.end(),
                            [&](const Global& g) { return g.name.text == column.variable.text; });
            if (!known)
                Fail(column.variable.at,
                     "unknown global variable '" + column.variable.text + "' in the study");
            Unique(seen, column.variable, "study variable");
            if (column.values.size() != levels)
                Fail(column.variable.at,
                     "the variables of a list vary together: '" + column.variable.text + "' has " +
                         std::to_string(column.values.size()) + " values, '" +
                         factor.columns.front().variable.text + "' has " + std::to_string(levels));
            const Global& g =
                *std::find_if(file_.globals.begin(), file_.globals.end(),
                              [&](const Global& x) { return x.name.text == column.variable.text; });
            for (const std::string& v : column.values)
                if (!ValueFits(g.type.text, v))
                    Fail(column.variable.at,
                         "value " + v + " of '" + g.name.text + "' is not a " + g.type.text);
            given[column.variable.text] = &column;
        }
    }
    // Experiments cross the factors, the first varying slowest.
    size_t experiments = 1;
    for (const StudyFactor& factor : file_.study) {
        experiments *= factor.columns.front().values.size();
        if (experiments > 1000000)
            Fail(factor.at, "the study has more than 1000000 experiments");
    }
    experiments_ = static_cast<int>(experiments);
    for (const Global& g : file_.globals) {
        if (given.count(g.name.text) == 0)
            Fail(g.name.at,
                 "global variable '" + g.name.text + "' has no value: give it one in the study");
        studyValues_.emplace_back();
    }
    size_t inner = experiments;
    for (const StudyFactor& factor : file_.study) {
        size_t levels = factor.columns.front().values.size();
        inner /= levels;
        for (const StudyValues& column : factor.columns) {
            size_t index = 0;
            while (file_.globals[index].name.text != column.variable.text)
                index++;
            std::vector<std::string>& values = studyValues_[index];
            for (size_t e = 0; e < experiments; e++)
                values.push_back(column.values[(e / inner) % levels]);
        }
    }
}

// ---------------------------------------------------------------- atomic models

std::string Model::MarkingExpression(const AtomicDecl& atomic, const Fragment& f,
                                     std::vector<std::string>* places) const {
    return Rewrite(f.text,
                   [&](const std::string& text, size_t start, size_t& end, std::string& out) {
                       std::string word = text.substr(start, end - start);
                       for (const PlaceDecl& p : atomic.places) {
                           if (p.name.text == word) {
                               if (places != nullptr)
                                   AddOnce(*places, word);
                               // An array's name stands for its view, indexed like it.
                               out = p.IsArray() ? word + "_Mark" : "(*" + word + "_Mark)";
                               return true;
                           }
                       }
                       return false;
                   });
}

void Model::CheckCalls(const AtomicDecl& atomic, const ActivityDecl& activity) const {
    std::vector<const Fragment*> fragments{&activity.rate, &activity.phases, &activity.weight,
                                           &activity.rank};
    for (const Fragment& f : activity.general)
        fragments.push_back(&f);
    for (const Arc& arc : activity.inputs)
        fragments.push_back(&arc.multiplicity);
    for (const InputGate& g : activity.inputGates) {
        fragments.push_back(&g.predicate);
        fragments.push_back(&g.function);
    }
    auto outputs = [&](const Outputs& o) {
        for (const Arc& arc : o.arcs)
            fragments.push_back(&arc.multiplicity);
        for (const Fragment& g : o.gates)
            fragments.push_back(&g);
    };
    outputs(activity.outputs);
    for (const Case& c : activity.cases) {
        fragments.push_back(&c.probability);
        outputs(c.outputs);
    }
    // In the generated functions a place's name is its marking, an activity's name a
    // member of the model's class or a namespace, an atomic model's name a namespace:
    // each hides a function of that name.
    for (const Fragment* f : fragments) {
        Rewrite(f->text, [&](const std::string& text, size_t start, size_t& end, std::string&) {
            if (!Called(text, end))
                return false;
            const std::string word = text.substr(start, end - start);
            std::string kind;
            for (const PlaceDecl& p : atomic.places)
                if (p.name.text == word)
                    kind = "place";
            for (const ActivityDecl& a : atomic.activities)
                if (a.name.text == word)
                    kind = "activity";
            // The functions of the atomic models' expressions are gathered under the
            // models' names.
            for (const AtomicDecl& m : file_.atomics)
                if (m.name.text == word && kind.empty())
                    kind = "atomic model";
            if (!kind.empty())
                Fail(Within(*f, start), "'" + word + "' is called here, but in atomic model " +
                                            atomic.name.text + " it names " +
                                            (kind == "place" ? "a " : "an ") + kind +
                                            ", which hides any function of that name: rename "
                                            "the " +
                                            kind + ", such as '" + Replacement(word) + "'");
            return false;
        });
    }
}

void Model::CheckElement(const AtomicDecl& atomic, const ActivityDecl& activity,
                         const Arc& arc) const {
    std::string index;
    for (char c : arc.element.text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            index += c;
    if (activity.IsFamily() && index == activity.index.text) {
        // Every index of the family must be an element of the arc's array: the sizes
        // must be written alike.
        auto sizeOf = [&](const std::string& name) {
            std::string size;
            for (const PlaceDecl& p : atomic.places)
                if (p.name.text == name)
                    for (char c : p.size.text)
                        if (!std::isspace(static_cast<unsigned char>(c)))
                            size += c;
            return size;
        };
        const std::string family = sizeOf(activity.array.text);
        const std::string array = sizeOf(arc.place.text);
        if (family != array)
            Fail(arc.element.at, "activity family '" + activity.name.text + "' runs over '" +
                                     activity.array.text + "' of " + family + " places, but '" +
                                     arc.place.text + "' has " + array +
                                     ": an arc by the family's index names an element of an "
                                     "array of the same size");
        return;
    }
    if (index.empty() || index.find_first_not_of("0123456789") != std::string::npos ||
        index.size() > 6)
        Fail(arc.element.at,
             "the index of an element in an arc must be known when the model is compiled: a "
             "whole number" +
                 (activity.IsFamily() ? " or the index '" + activity.index.text + "' of the family"
                                      : std::string()) +
                 ", found '" + arc.element.text + "'");
    for (const PlaceDecl& p : atomic.places) {
        if (p.name.text != arc.place.text)
            continue;
        const std::string& size = p.size.text;
        if (size.find_first_not_of("0123456789") == std::string::npos && size.size() <= 6 &&
            std::stoul(index) >= std::stoul(size))
            Fail(arc.element.at, "index " + index + " is out of range for array '" + p.name.text +
                                     "' of " + size + " places (0 to " +
                                     std::to_string(std::stoul(size) - 1) + ")");
    }
}

void Model::CheckAtomic(const AtomicDecl& atomic) {
    std::map<std::string, Position> names;
    for (const PlaceDecl& p : atomic.places)
        Unique(names, p.name, "name");
    for (const ActivityDecl& a : atomic.activities)
        Unique(names, a.name, "name");
    auto isPlace = [&](const Name& n) {
        return std::any_of(atomic.places.begin(), atomic.places.end(),
                           [&](const PlaceDecl& p) { return p.name.text == n.text; });
    };
    auto checkArcs = [&](const ActivityDecl& a, const std::vector<Arc>& arcs) {
        for (const Arc& arc : arcs) {
            if (!isPlace(arc.place))
                Fail(arc.place.at,
                     "unknown place '" + arc.place.text + "' in atomic model " + atomic.name.text);
            const bool array = IsArray(atomic.name.text, arc.place.text);
            if (array && arc.element.empty())
                Fail(arc.place.at, "'" + arc.place.text +
                                       "' is an array of places: an arc connects one place; "
                                       "name an element by its index, such as '" +
                                       arc.place.text + "[0]'");
            if (arc.element.empty())
                continue;
            if (!array)
                Fail(arc.element.at, "'" + arc.place.text +
                                         "' is a single place: an index selects an element of "
                                         "an array of places");
            CheckElement(atomic, a, arc);
        }
    };
    for (const ActivityDecl& a : atomic.activities) {
        if (!a.IsFamily())
            continue;
        const PlaceDecl* array = nullptr;
        for (const PlaceDecl& p : atomic.places)
            if (p.name.text == a.array.text)
                array = &p;
        if (array == nullptr || !array->IsArray())
            Fail(a.array.at, "activity family '" + a.name.text + "' runs over '" + a.array.text +
                                 "', which is not an array of places of atomic model " +
                                 atomic.name.text);
        for (const PlaceDecl& p : atomic.places)
            if (p.name.text == a.index.text)
                Fail(a.index.at, "the index '" + a.index.text + "' of activity family '" +
                                     a.name.text + "' is a place of atomic model " +
                                     atomic.name.text + ": choose another name, such as 'k'");
        for (const Global& g : file_.globals)
            if (g.name.text == a.index.text)
                Fail(a.index.at, "the index '" + a.index.text + "' of activity family '" +
                                     a.name.text +
                                     "' is a global variable, which it would hide: choose "
                                     "another name, such as 'k'");
    }
    for (const PlaceDecl& p : atomic.places) {
        if (!p.IsArray() || p.initial.text.empty() || p.initial.text[0] != '{')
            continue;
        const std::string& size = p.size.text;
        if (size.find_first_not_of("0123456789") != std::string::npos || size.size() > 6)
            Fail(p.size.at, "array '" + p.name.text +
                                "' has a list of initial markings, so its size must be a whole "
                                "number");
        size_t given =
            1 + static_cast<size_t>(std::count(p.initial.text.begin(), p.initial.text.end(), ','));
        if (given != std::stoul(size))
            Fail(p.initial.at, "array '" + p.name.text + "' has " + size + " places but " +
                                   std::to_string(given) + " initial markings");
    }

    Atomic info;
    info.decl = &atomic;
    // Timed activities (and the groups of their cases) come first in the group list,
    // then the instantaneous ones, each in the order of the file.
    for (Timing timing : {Timing::Timed, Timing::Instantaneous})
        for (const ActivityDecl& a : atomic.activities)
            if (a.timing == timing)
                info.groups.push_back(Group{&a, !a.cases.empty()});

    for (const ActivityDecl& a : atomic.activities) {
        if (a.timing == Timing::Timed && a.distribution == DistributionKind::None)
            Fail(a.name.at, "timed activity '" + a.name.text +
                                "' has no distribution: give exponential, deterministic, erlang, "
                                "uniform, weibull, normal, lognormal, gamma or triangular");
        if (!a.weight.empty() && a.timing == Timing::Timed)
            Fail(a.weight.at, "a weight is for instantaneous activities; the cases of a timed "
                              "activity have probabilities");
        if (!a.weight.empty() && !a.cases.empty())
            Fail(a.weight.at, "the cases of activity '" + a.name.text +
                                  "' have probabilities; give it no weight");
        double rank = 0;
        if (a.timing == Timing::Instantaneous && LiteralNumber(a.rank.text, rank) && rank < 0)
            Fail(a.rank.at, "rank " + a.rank.text + " of instantaneous activity '" + a.name.text +
                                "' is negative: write a rank of 0 or more (of the enabled "
                                "instantaneous activities, those of the highest rank fire)");
        CheckCalls(atomic, a);
        checkArcs(a, a.inputs);
        checkArcs(a, a.outputs.arcs);
        for (const Case& c : a.cases)
            checkArcs(a, c.outputs.arcs);

        int group = 0;
        while (info.groups[group].activity != &a)
            group++;

        size_t n = a.cases.empty() ? 1 : a.cases.size();
        for (size_t k = 0; k < n; k++) {
            const Case* c = a.cases.empty() ? nullptr : &a.cases[k];
            Action action;
            action.activity = &a;
            action.caseIndex = c == nullptr ? 0 : static_cast<int>(k + 1);
            action.group = group;
            if (c == nullptr) {
                action.name = a.name.text;
                action.member = a.name.text;
                action.type = a.name.text + "Activity";
            } else {
                std::string suffix = "_case" + std::to_string(k + 1);
                action.name = a.name.text + suffix;
                action.member = a.name.text + suffix;
                action.type = a.name.text + "Activity" + suffix;
            }
            std::vector<std::string>& attached = action.attached;
            for (const Arc& arc : a.inputs) {
                AddOnce(attached, arc.place.text);
                AddOnce(action.affected, arc.place.text);
                AddOnce(action.enabling, arc.place.text);
                // A multiplicity that reads places makes them part of the enabling.
                MarkingExpression(atomic, arc.multiplicity, &action.enabling);
            }
            for (const InputGate& g : a.inputGates) {
                MarkingExpression(atomic, g.predicate, &action.enabling);
                MarkingExpression(atomic, g.predicate, &attached);
                MarkingExpression(atomic, g.function, &action.affected);
                MarkingExpression(atomic, g.function, &attached);
            }
            auto outputs = [&](const Outputs& o) {
                for (const Arc& arc : o.arcs) {
                    AddOnce(attached, arc.place.text);
                    AddOnce(action.affected, arc.place.text);
                    // A multiplicity may read other places.
                    MarkingExpression(atomic, arc.multiplicity, &attached);
                }
                for (const Fragment& g : o.gates) {
                    MarkingExpression(atomic, g, &action.affected);
                    MarkingExpression(atomic, g, &attached);
                }
            };
            outputs(a.outputs);
            if (c != nullptr)
                outputs(c->outputs);
            for (const Fragment* f : {&a.rate, &a.phases, &a.weight, &a.rank})
                MarkingExpression(atomic, *f, &attached);
            for (const Fragment& f : a.general)
                MarkingExpression(atomic, f, &attached);
            if (c != nullptr)
                MarkingExpression(atomic, c->probability, &attached);
            for (const Arc& arc : a.inputs)
                MarkingExpression(atomic, arc.multiplicity, &attached);
            info.actions.push_back(action);
        }
    }
    atomics_.push_back(info);
}

// ---------------------------------------------------------------- composed models

std::vector<std::string> Model::PlacesOf(const std::string& model) const {
    std::vector<std::string> places;
    if (const AtomicDecl* a = FindAtomic(model))
        for (const PlaceDecl& p : a->places)
            places.push_back(p.name.text);
    if (const JoinDecl* j = FindJoin(model))
        for (const ShareDecl& s : j->shares)
            places.push_back(s.name.text);
    return places;
}

bool Model::IsArray(const std::string& model, const std::string& place) const {
    if (const AtomicDecl* a = FindAtomic(model)) {
        for (const PlaceDecl& p : a->places)
            if (p.name.text == place)
                return p.IsArray();
    }
    if (const JoinDecl* j = FindJoin(model))
        for (const ShareDecl& s : j->shares)
            if (s.name.text == place)
                return IsArray(s.members.front().child.text, s.members.front().place.text);
    return false;
}

std::string Model::InitialOf(const std::string& model, const std::string& place) const {
    if (const AtomicDecl* a = FindAtomic(model)) {
        for (const PlaceDecl& p : a->places) {
            if (p.name.text != place)
                continue;
            std::string t = p.initial.text;
            t.erase(
                std::remove_if(t.begin(), t.end(),
                               [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
                t.end());
            return t.empty() ? "0" : t;
        }
    }
    if (const JoinDecl* j = FindJoin(model))
        for (const ShareDecl& s : j->shares)
            if (s.name.text == place)
                return InitialOf(s.members.front().child.text, s.members.front().place.text);
    return "0";
}

void Model::CheckJoins() {
    for (const JoinDecl& join : file_.joins) {
        std::map<std::string, Position> children;
        for (const ChildDecl& c : join.children) {
            if (FindAtomic(c.model.text) == nullptr && FindJoin(c.model.text) == nullptr)
                Fail(c.model.at, "unknown model '" + c.model.text + "' in join " + join.name.text);
            if (c.model.text == join.name.text)
                Fail(c.model.at, "join " + join.name.text + " cannot contain itself");
            Unique(children, c.model, "submodel");
            if (c.Runtime())
                CheckCount(join, c);
        }
        std::map<std::string, Position> shares;
        for (const ShareDecl& s : join.shares) {
            Unique(shares, s.name, "shared place");
            std::map<std::string, Position> members;
            for (const ShareMember& m : s.members) {
                if (children.count(m.child.text) == 0)
                    Fail(m.child.at,
                         "'" + m.child.text + "' is not a submodel of join " + join.name.text);
                Unique(members, m.child, "member of shared place " + s.name.text + ":");
                std::vector<std::string> places = PlacesOf(m.child.text);
                if (std::find(places.begin(), places.end(), m.place.text) == places.end())
                    Fail(m.place.at, "model " + m.child.text + " has no place '" + m.place.text +
                                         "' to share" +
                                         (FindJoin(m.child.text) != nullptr
                                              ? " (a join offers only the places it shares)"
                                              : ""));
                // Sharing merges the places into one: starting them differently would
                // make the initial state depend on the order of the children.
                const ShareMember& first = s.members.front();
                if (IsArray(first.child.text, first.place.text) !=
                    IsArray(m.child.text, m.place.text))
                    Fail(m.child.at, "shared place " + s.name.text +
                                         " is an array in one member and a single place in "
                                         "another");
                std::string a = InitialOf(first.child.text, first.place.text);
                std::string b = InitialOf(m.child.text, m.place.text);
                if (a != b)
                    Fail(m.child.at, "shared place " + s.name.text + " starts with " + a + " in " +
                                         first.child.text + " but with " + b + " in " +
                                         m.child.text +
                                         ": give it the same initial marking everywhere");
            }
        }
    }
    // A join may contain only models declared before it: no cycles, and the classes
    // can be declared in the order of the file.
    std::set<std::string> declared;
    for (const AtomicDecl& a : file_.atomics)
        declared.insert(a.name.text);
    for (const JoinDecl& join : file_.joins) {
        for (const ChildDecl& c : join.children)
            if (declared.count(c.model.text) == 0)
                Fail(c.model.at, "join " + join.name.text + " uses '" + c.model.text +
                                     "' before its declaration: declare a join after its "
                                     "submodels");
        declared.insert(join.name.text);
    }
}

void Model::CheckCount(const JoinDecl& join, const ChildDecl& child) const {
    Rewrite(child.count.text,
            [&](const std::string& text, size_t start, size_t& end, std::string&) {
                const std::string word = text.substr(start, end - start);
                if (Called(text, end) || word == "std")
                    return false;
                for (const Global& g : file_.globals)
                    if (g.name.text == word)
                        return false;
                Fail(Within(child.count, start),
                     "the number of instances of " + child.model.text + " in join " +
                         join.name.text + " reads '" + word +
                         "', which is not a global variable: a number of instances is a whole "
                         "number or an expression over global variables");
            });
}

void Model::FindReplicaUsers() {
    auto reads = [](const Fragment& f) {
        bool found = false;
        Rewrite(f.text, [&](const std::string& text, size_t start, size_t& end, std::string&) {
            found = found || text.compare(start, end - start, "replica") == 0;
            return false;
        });
        return found;
    };
    for (const AtomicDecl& a : file_.atomics) {
        std::vector<const Fragment*> fragments;
        for (const PlaceDecl& p : a.places) {
            fragments.push_back(&p.initial);
            fragments.push_back(&p.size);
        }
        for (const ActivityDecl& act : a.activities) {
            for (const Fragment* f : {&act.rate, &act.phases, &act.weight, &act.rank})
                fragments.push_back(f);
            for (const Fragment& f : act.general)
                fragments.push_back(&f);
            for (const InputGate& g : act.inputGates) {
                fragments.push_back(&g.predicate);
                fragments.push_back(&g.function);
            }
            auto outputs = [&](const Outputs& o) {
                for (const Arc& arc : o.arcs) {
                    fragments.push_back(&arc.multiplicity);
                    fragments.push_back(&arc.element);
                }
                for (const Fragment& g : o.gates)
                    fragments.push_back(&g);
            };
            for (const Arc& arc : act.inputs) {
                fragments.push_back(&arc.multiplicity);
                fragments.push_back(&arc.element);
            }
            outputs(act.outputs);
            for (const Case& c : act.cases) {
                fragments.push_back(&c.probability);
                outputs(c.outputs);
            }
        }
        if (std::any_of(fragments.begin(), fragments.end(),
                        [&](const Fragment* f) { return reads(*f); }))
            replicaUsers_.insert(a.name.text);
    }
    // Joins are declared after their submodels.
    for (const JoinDecl& j : file_.joins)
        for (const ChildDecl& c : j.children)
            if (replicaUsers_.count(c.model.text) > 0)
                replicaUsers_.insert(j.name.text);
}

void Model::FindTop() {
    std::set<std::string> contained;
    for (const JoinDecl& join : file_.joins)
        for (const ChildDecl& c : join.children)
            contained.insert(c.model.text);
    std::vector<const Name*> roots;
    for (const AtomicDecl& a : file_.atomics)
        if (contained.count(a.name.text) == 0)
            roots.push_back(&a.name);
    for (const JoinDecl& j : file_.joins)
        if (contained.count(j.name.text) == 0)
            roots.push_back(&j.name);
    if (roots.empty())
        Fail(Position{1, 1}, "the file declares no model: expected an atomic model");
    if (roots.size() > 1)
        Fail(roots[1]->at, "two top-level models, '" + roots[0]->text + "' and '" + roots[1]->text +
                               "': compose them in one join");
    top_ = roots[0]->text;

    // Every atomic model the top model contains, directly or through joins.
    std::vector<std::string> pending{top_};
    while (!pending.empty()) {
        std::string m = pending.back();
        pending.pop_back();
        if (const AtomicDecl* a = FindAtomic(m))
            submodels_[m] = a;
        else if (const JoinDecl* j = FindJoin(m))
            for (const ChildDecl& c : j->children)
                pending.push_back(c.model.text);
    }
}

// ---------------------------------------------------------------- rewards

int Model::InstancesOf(const std::string& within, const std::string& atomic) const {
    if (within == atomic)
        return 1;
    const JoinDecl* join = FindJoin(within);
    if (join == nullptr)
        return 0;
    int count = 0;
    for (const ChildDecl& c : join->children) {
        const int below = InstancesOf(c.model.text, atomic);
        if (below == kSetByStudy || (below > 0 && c.Runtime()))
            return kSetByStudy;
        count += c.copies * below;
    }
    return count;
}

std::string Model::SingleInstance() const {
    if (FindAtomic(top_) != nullptr)
        return top_;
    for (const AtomicDecl& a : file_.atomics)
        if (InstancesOf(top_, a.name.text) == 1)
            return a.name.text;
    return "";
}

void Model::CheckCondition(
    const RewardDecl& r, Reward& info,
    const std::function<void(const RewardDecl&, const Fragment&, std::vector<std::string>&,
                             std::vector<std::pair<std::string, std::string>>*)>& check) const {
    // A condition holds or does not in a marking: summing it over the instances of a
    // replicated submodel would say neither, so it reads submodels of one instance,
    // and every worker of the variable sees the same marking of them.
    std::vector<std::string> read;
    check(r, r.condition, read, nullptr);
    if (read.empty())
        Fail(r.condition.at, "the condition of reward variable " + r.name.text +
                                 " reads no place: name the markings it depends on as "
                                 "<submodel>.<place>");
    for (const auto& [model, place] : References(r.condition)) {
        const int n = InstancesOf(top_, model.text);
        if (n > 1 || n == kSetByStudy)
            Fail(model.at,
                 "the condition of reward variable " + r.name.text + " reads '" + model.text +
                     "', of which " + top_ + " holds " +
                     (n == kSetByStudy ? std::string("as many instances as the study sets")
                                       : std::to_string(n) + " instances") +
                     ": a condition reads submodels of one instance (share "
                     "the places it needs with one)");
    }
    check(r, r.condition, info.models, &info.dependencies);
}

std::vector<std::pair<Name, Name>> Model::References(const Fragment& f) const {
    std::vector<std::pair<Name, Name>> refs;
    Rewrite(f.text, [&](const std::string& text, size_t start, size_t& end, std::string&) {
        std::string word = text.substr(start, end - start);
        // Rewards read markings only: any "a.b" names a submodel's place.
        size_t k = 0;
        size_t m = 0;
        if (!MemberAfter(text, end, k, m))
            return false;
        refs.emplace_back(Name{word, Within(f, start)}, Name{text.substr(k, m - k), Within(f, k)});
        return false;
    });
    return refs;
}

std::vector<std::pair<std::string, std::string>> Model::RewardReads(const Fragment& f) const {
    std::vector<std::pair<std::string, std::string>> reads;
    for (const auto& [model, place] : References(f)) {
        std::pair<std::string, std::string> read{model.text, place.text};
        if (std::find(reads.begin(), reads.end(), read) == reads.end())
            reads.push_back(read);
    }
    return reads;
}

void Model::CheckUnqualifiedPlaces(const RewardDecl& r, const Fragment& f,
                                   const std::vector<std::string>& members) const {
    Rewrite(f.text, [&](const std::string& text, size_t start, size_t& end, std::string&) {
        std::string word = text.substr(start, end - start);
        size_t k = 0;
        size_t m = 0;
        if (MemberAfter(text, end, k, m))
            return false;
        // A call is of a function of a code block, unless the name is one of the
        // submodels the expression reads, members of the class it is evaluated in.
        if (Called(text, end)) {
            if (std::find(members.begin(), members.end(), word) != members.end())
                Fail(Within(f, start), "'" + word + "' is called here, but in reward " +
                                           "variable " + r.name.text +
                                           " it names a submodel, which hides any function of "
                                           "that name: rename the submodel, such as '" +
                                           Replacement(word) + "'");
            return false;
        }
        if (word == "replica")
            Fail(Within(f, start), "reward variable " + r.name.text +
                                       " reads 'replica', the index of a replica, which only "
                                       "the expressions of an atomic model have");
        // A global variable is itself.
        for (const Global& g : file_.globals)
            if (g.name.text == word)
                return false;
        std::vector<std::string> qualified;
        for (const auto& [model, atomic] : submodels_)
            for (const PlaceDecl& p : atomic->places)
                if (p.name.text == word)
                    qualified.push_back(model + "." + word);
        if (!qualified.empty())
            Fail(Within(f, start), "reward variable " + r.name.text + " names place '" + word +
                                       "' without its submodel: write " + Alternatives(qualified));
        return false;
    });
}

void Model::CheckRewards() {
    std::map<std::string, Position> names;
    auto checkReferences = [&](const RewardDecl& r, const Fragment& f,
                               std::vector<std::string>& models,
                               std::vector<std::pair<std::string, std::string>>* deps) {
        for (const auto& [model, place] : References(f)) {
            auto found = submodels_.find(model.text);
            if (found == submodels_.end())
                Fail(model.at, "reward variable " + r.name.text + " reads '" + model.text +
                                   "', which is not an atomic submodel of " + top_);
            bool known = std::any_of(found->second->places.begin(), found->second->places.end(),
                                     [&](const PlaceDecl& p) { return p.name.text == place.text; });
            if (!known)
                Fail(place.at, "atomic model " + model.text + " has no place '" + place.text + "'");
            AddOnce(models, model.text);
            if (deps != nullptr) {
                std::pair<std::string, std::string> dep{place.text, model.text};
                if (std::find(deps->begin(), deps->end(), dep) == deps->end())
                    deps->push_back(dep);
            }
        }
        CheckUnqualifiedPlaces(r, f, models);
    };
    for (const RewardDecl& r : file_.rewards) {
        Unique(names, r.name, "reward variable");
        if (r.kind == RewardKind::None)
            Fail(r.name.at, "reward variable " + r.name.text +
                                " has no kind: give instant, interval, average, steady, until "
                                "or reach");
        const bool reach = r.kind == RewardKind::Reach || r.kind == RewardKind::ReachWithin;
        if (reach && !(r.rate.empty() && r.impulses.empty()))
            Fail(!r.rate.empty() ? r.rate.at : r.impulses[0].model.at,
                 "reward variable " + r.name.text +
                     " is the probability of reaching its condition and earns no reward: drop "
                     "its rate and impulses, or write 'until' for the reward earned until the "
                     "condition holds");
        if (!reach && r.rate.empty() && r.impulses.empty())
            Fail(r.name.at,
                 "reward variable " + r.name.text + " has neither a rate nor an impulse");
        for (size_t k = 0; k < r.starts.size(); k++) {
            if (!NonNegativeNumber(r.starts[k]) || !NonNegativeNumber(r.stops[k]))
                Fail(r.kindAt, "the times of reward variable " + r.name.text +
                                   " must be numbers of at least 0");
            if (std::strtod(r.stops[k].c_str(), nullptr) <
                std::strtod(r.starts[k].c_str(), nullptr))
                Fail(r.kindAt, "interval " + r.starts[k] + " to " + r.stops[k] +
                                   " of reward variable " + r.name.text + " ends before it starts");
        }
        Reward info;
        info.decl = &r;
        if (!r.rate.empty())
            checkReferences(r, r.rate, info.models, &info.dependencies);
        if (!r.condition.empty())
            CheckCondition(r, info, checkReferences);
        // A rate is evaluated once per combination of the instances of the submodels it
        // reads; one that reads none would be evaluated nowhere and read 0 in every
        // state. It is evaluated once, in a submodel of one instance.
        if (!r.rate.empty() && info.models.empty()) {
            const std::string single = SingleInstance();
            if (single.empty())
                Fail(r.rate.at, "the rate of reward variable " + r.name.text +
                                    " reads no place, and every submodel of " + top_ +
                                    " is replicated: a rate is summed over the instances it "
                                    "reads, so name a place of the instances it is meant for");
            info.models.push_back(single);
        }
        for (const Impulse& imp : r.impulses) {
            auto found = submodels_.find(imp.model.text);
            if (found == submodels_.end())
                Fail(imp.model.at, "reward variable " + r.name.text + " has an impulse on '" +
                                       imp.model.text + "', which is not an atomic submodel of " +
                                       top_);
            const Atomic* atomic = nullptr;
            for (const Atomic& a : atomics_)
                if (a.decl == found->second)
                    atomic = &a;
            bool known = std::any_of(atomic->actions.begin(), atomic->actions.end(),
                                     [&](const Action& a) { return a.name == imp.activity.text; });
            for (const ActivityDecl& act : found->second->activities)
                if (act.IsFamily() && act.name.text == imp.activity.text)
                    Fail(imp.activity.at, "'" + imp.activity.text +
                                              "' is a family of activities: an impulse is "
                                              "earned by one activity, not by a family");
            if (!known)
                Fail(imp.activity.at, "atomic model " + imp.model.text + " has no activity '" +
                                          imp.activity.text +
                                          "' (an activity with cases is named by its cases, "
                                          "<activity>_case<n>)");
            std::vector<std::string> models{imp.model.text};
            checkReferences(r, imp.value, models, nullptr);
            info.impulseModels.push_back(models);
        }
        rewards_.push_back(info);
    }
}
