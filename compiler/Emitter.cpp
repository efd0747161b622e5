#include "compiler/Emitter.h"

#include "compiler/Rewrite.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <set>

namespace {

const char* const kResume = "#line RESUME\n";

// A path as a C++ string literal: a line end or another control character in it
// would end the #line directive early.
std::string Escaped(const std::string& path) {
    std::string out;
    for (char c : path) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7f) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", u);
            out += octal;
        } else {
            out += c;
        }
    }
    return out;
}

std::string Str(int n) {
    return std::to_string(n);
}
std::string Str(size_t n) {
    return std::to_string(n);
}

// The joined items, "a, b, c".
template <class T, class F> std::string List(const std::vector<T>& items, F text) {
    std::string out;
    for (size_t k = 0; k < items.size(); k++)
        out += (k == 0 ? "" : ", ") + text(items[k]);
    return out;
}

// The marking an arc takes tokens from or puts them in: a place's, or an element's.
std::string ArcMark(const Arc& arc) {
    if (arc.element.empty())
        return "(*" + arc.place.text + "_Mark)";
    return arc.place.text + "_Mark[" + arc.element.text + "]";
}

bool IsFamilyModel(const AtomicDecl& atomic) {
    return std::any_of(atomic.activities.begin(), atomic.activities.end(),
                       [](const ActivityDecl& a) { return a.IsFamily(); });
}

bool IsOne(const Fragment& f) {
    std::string t = f.text;
    t.erase(std::remove_if(t.begin(), t.end(),
                           [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
            t.end());
    return t.empty() || t == "1";
}

const char* DistributionName(const ActivityDecl& a) {
    if (a.timing == Timing::Instantaneous)
        return "Instantaneous";
    switch (a.distribution) {
    case DistributionKind::Deterministic:
        return "Deterministic";
    case DistributionKind::Erlang:
        return "Erlang";
    case DistributionKind::Uniform:
        return "Uniform";
    case DistributionKind::Weibull:
        return "Weibull";
    case DistributionKind::Normal:
        return "Normal";
    case DistributionKind::Lognormal:
        return "Lognormal";
    case DistributionKind::Gamma:
        return "Gamma";
    case DistributionKind::Triangular:
        return "Triangular";
    default:
        return "Exponential";
    }
}

// What each parameter of a general delay is, in the order the model gives them.
std::vector<std::string> ParameterNames(DistributionKind kind) {
    switch (kind) {
    case DistributionKind::Uniform:
        return {"lower_bound", "upper_bound"};
    case DistributionKind::Weibull:
    case DistributionKind::Gamma:
        return {"shape", "scale"};
    case DistributionKind::Normal:
    case DistributionKind::Lognormal:
        return {"mean", "variance"};
    case DistributionKind::Triangular:
        return {"lower_bound", "mode", "upper_bound"};
    default:
        return {};
    }
}

int ParameterCount(const ActivityDecl& a) {
    if (a.timing == Timing::Instantaneous)
        return 0;
    if (!a.general.empty())
        return static_cast<int>(a.general.size());
    return a.distribution == DistributionKind::Erlang ? 2 : 1;
}

int KindNumber(RewardKind k) {
    switch (k) {
    case RewardKind::Interval:
        return 1;
    case RewardKind::TimeAveraged:
        return 2;
    case RewardKind::SteadyState:
        return 3;
    case RewardKind::Until:
        return 4;
    case RewardKind::Reach:
        return 5;
    case RewardKind::ReachWithin:
        return 6;
    default:
        return 0;
    }
}

std::string Guard(const std::string& name) {
    std::string g = "SANC_";
    for (char c : name)
        g += std::isalnum(static_cast<unsigned char>(c))
                 ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                 : '_';
    return g + "_H";
}

// A time point as a double literal: "30" is written "30.0".
std::string TimeLiteral(const std::string& literal) {
    if (literal.find_first_of(".eE") == std::string::npos)
        return literal + ".0";
    return literal;
}

// The names a fragment uses, other than as members: a name the generated code gives
// the functions beside the fragment's own must be none of them, or it would hide
// what the fragment means.
void NamesOf(const Fragment& f, std::set<std::string>& names) {
    Rewrite(f.text, [&](const std::string& text, size_t start, size_t& end, std::string&) {
        names.insert(text.substr(start, end - start));
        return false;
    });
}

// `base`, or `base` numbered from 2 when that is taken; the name is taken from then on.
std::string FreeName(const std::string& base, std::set<std::string>& taken) {
    std::string name = base;
    for (int k = 2; taken.count(name) != 0; k++)
        name = base + std::to_string(k);
    taken.insert(name);
    return name;
}

// Whether a fragment uses `name`, other than as a member.
bool Reads(const Fragment& f, const std::string& name) {
    std::set<std::string> names;
    NamesOf(f, names);
    return names.count(name) != 0;
}

// The part of a function's name that tells an arc to an element from one to its
// array: the element's index as written, without blanks.
std::string ElementName(const Arc& arc) {
    std::string name;
    for (char c : arc.element.text)
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_')
            name += c;
    return name.empty() ? name : "_" + name;
}

} // namespace

Emitter::Emitter(const Model& model, std::string modelPath, std::string headerName,
                 std::string headerPath, std::string sourcePath)
    : model_(model), modelPath_(std::move(modelPath)), headerName_(std::move(headerName)),
      headerPath_(std::move(headerPath)), sourcePath_(std::move(sourcePath)) {}

std::string Emitter::LineOf(const Fragment& f) const {
    return "#line " + Str(f.at.line) + " \"" + Escaped(modelPath_) + "\"\n";
}

std::string Emitter::Laid(const Fragment& f) const {
    return LineOf(f) + f.indent + f.text + "\n" + Resume();
}

std::string Emitter::Function(const std::string& type, const std::string& name,
                              const std::string& parameters, const Fragment& f) const {
    std::string out = "inline " + type + " " + name + "(" + parameters + ") {\n";
    if (type == "bool")
        return out + "    return (\n" + Laid(f) + "           ) ? true : false;\n}\n";
    return out + "    return\n" + Laid(f) + "        ;\n}\n";
}

std::string Emitter::Procedure(const std::string& name, const std::string& parameters,
                               const Fragment& f) const {
    // The block's own braces are the body: the '{' takes the column it has in the model.
    const std::string indent = f.indent.substr(0, f.indent.empty() ? 0 : f.indent.size() - 1);
    return "inline void " + name + "(" + parameters + ")\n" + LineOf(f) + indent + "{" + f.text +
           "}\n" + Resume();
}

std::string Emitter::Resume() {
    return kResume;
}

// Replaces every resume marker by the directive that gives the following line its
// own number in the generated file.
std::string Emitter::Finish(const std::string& text, const std::string& path) {
    std::string out;
    out.reserve(text.size() + 1024);
    int line = 1;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text.compare(start, end - start, kResume) == 0)
            out += "#line " + Str(line + 1) + " \"" + Escaped(path) + "\"\n";
        else
            out.append(text, start, end - start);
        line++;
        start = end;
    }
    return out;
}

std::string Emitter::Constructor(const std::string& model) const {
    const std::string cls = model_.ClassOf(model);
    return model_.UsesReplica(model) ? "explicit " + cls + "(int replica = 0)" : cls + "()";
}

const ChildDecl* Emitter::FindChild(const JoinDecl& join, const std::string& model) {
    for (const ChildDecl& c : join.children)
        if (c.model.text == model)
            return &c;
    return nullptr;
}

// ---------------------------------------------------------------- header

std::string Emitter::Header() const {
    const ModelFile& file = model_.File();
    std::string out;
    out += "// Generated by sanc from " + Escaped(modelPath_) +
           ": edit the model file, not this one.\n";
    out += "#ifndef " + Guard(headerName_) + "\n#define " + Guard(headerName_) + "\n\n";
    out += "#include \"BaseClasses/Activity.h\"\n"
           "#include \"BaseClasses/BaseStudyClass.h\"\n"
           "#include \"BaseClasses/ImpulseNodeClass.h\"\n"
           "#include \"BaseClasses/InstantOfTime.h\"\n"
           "#include \"BaseClasses/PVModel.h\"\n"
           "#include \"BaseClasses/PerformanceVariableNode.h\"\n"
           "#include \"BaseClasses/PostselectGroup.h\"\n"
           "#include \"BaseClasses/SANModel.h\"\n"
           "#include \"BaseClasses/state/Place.h\"\n"
           "#include \"BaseClasses/state/PlaceArray.h\"\n"
           "#include \"Composer/Join.h\"\n\n";
    if (!file.globals.empty()) {
        out += "// Global variables, set by the study for each experiment.\n";
        for (const Global& g : file.globals)
            out += "extern " + g.type.text + " " + g.name.text + ";\n";
        out += "\n";
    }
    for (const Model::Atomic& a : model_.Atomics())
        AtomicHeader(out, a);
    for (const JoinDecl& j : file.joins)
        JoinHeader(out, j);
    RewardHeader(out);
    StudyHeader(out);
    out += "#endif\n";
    return Finish(out, headerPath_);
}

void Emitter::AtomicHeader(std::string& out, const Model::Atomic& atomic) const {
    const std::string cls = atomic.decl->name.text + "SAN";
    out += "// Atomic model " + atomic.decl->name.text + ".\n";
    out += "class " + cls + " : public SANModel {\n  public:\n";
    for (const Model::Action& action : atomic.actions) {
        const ActivityDecl& a = *action.activity;
        out += "    class " + action.type + " : public Activity {\n      public:\n";
        for (const std::string& p : action.attached) {
            if (model_.IsArray(atomic.decl->name.text, p))
                out +=
                    "        PlaceArray* " + p + ";\n        PlaceArray::Marks " + p + "_Mark;\n";
            else
                out += "        Place* " + p + ";\n        short* " + p + "_Mark;\n";
        }
        if (ParameterCount(a) > 0)
            out += "        double* TheDistributionParameters;\n";
        if (model_.UsesReplica(atomic.decl->name.text))
            out += "        int replica = 0;\n";
        if (a.IsFamily())
            out += "        int " + a.index.text + " = 0; // the element of " + a.array.text +
                   " it is the activity of\n";
        out += "\n        " + action.type + "();\n        ~" + action.type + "() override;\n";
        out += "        bool Enabled() override;\n"
               "        double Weight() override;\n"
               "        double Rate() override;\n"
               "        bool ReactivationPredicate() override;\n"
               "        bool ReactivationFunction() override;\n"
               "        double SampleDistribution() override;\n"
               "        double* ReturnDistributionParameters() override;\n";
        if (a.distribution == DistributionKind::Erlang)
            out += "        double ErlangParamM() override;\n";
        out += "        BaseActionClass* Fire() override;\n"
               "        int Rank() override;\n"
               "        void LinkVariables() override;\n    };\n\n";
    }
    // Activities before groups: they are numbered in the order they are built.
    for (const Model::Action& action : atomic.actions)
        out += action.activity->IsFamily()
                   ? "    std::vector<" + action.type + "*> " + action.member + ";\n"
                   : "    " + action.type + " " + action.member + ";\n";
    for (const Model::Group& g : atomic.groups)
        if (g.cases)
            out += g.activity->IsFamily()
                       ? "    std::vector<PostselectGroup*> " + g.activity->name.text + "Group;\n"
                       : "    PostselectGroup " + g.activity->name.text + "Group;\n";
    out += "\n";
    for (const PlaceDecl& p : atomic.decl->places)
        out += std::string(p.IsArray() ? "    PlaceArray* " : "    Place* ") + p.name.text + ";\n";
    out +=
        "\n    " + Constructor(atomic.decl->name.text) + ";\n    ~" + cls + "() override;\n};\n\n";
}

void Emitter::JoinHeader(std::string& out, const JoinDecl& join) const {
    const std::string cls = join.name.text + "RJ";
    out += "// Composed model " + join.name.text + ".\n";
    out += "class " + cls + " : public Join {\n  public:\n";
    for (const ChildDecl& c : join.children)
        if (c.Runtime())
            out += "    std::vector<" + model_.ClassOf(c.model.text) + "*> " + c.model.text +
                   "; // as many as the study sets\n";
    for (const auto& [member, model] : Model::ChildMembers(join))
        if (!model_.HasRuntimeCount(join) || !FindChild(join, model)->Runtime())
            out += "    " + model_.ClassOf(model) + "* " + member + ";\n";
    for (const ShareDecl& s : join.shares)
        out += std::string(model_.IsArray(join.name.text, s.name.text) ? "    PlaceArray* "
                                                                       : "    Place* ") +
               s.name.text + ";\n";
    out += "\n    " + Constructor(join.name.text) + ";\n    ~" + cls + "() override;\n};\n\n";
}

void Emitter::RewardHeader(std::string& out) const {
    const std::string top = model_.Top();
    const std::vector<Model::Reward>& rewards = model_.Rewards();
    for (size_t i = 0; i < rewards.size(); i++) {
        const Model::Reward& r = rewards[i];
        std::string pv = top + "PV" + Str(i);
        out += "// Reward variable " + r.decl->name.text + ".\n";
        out += "class " + pv + "Worker : public InstantOfTime {\n  public:\n";
        for (const std::string& m : r.models)
            out += "    " + model_.ClassOf(m) + "* " + m + ";\n";
        out += "\n    " + pv + "Worker();\n    ~" + pv +
               "Worker() override;\n"
               "    double Reward_Function() override;\n";
        if (!r.decl->condition.empty())
            out += "    bool Condition_Function();\n";
        out += "};\n\n";
        for (size_t j = 0; j < r.impulseModels.size(); j++) {
            std::string imp = pv + "Impulse" + Str(j);
            out += "class " + imp + " : public ImpulseNodeClass {\n  public:\n";
            for (const std::string& m : r.impulseModels[j])
                out += "    " + model_.ClassOf(m) + "* " + m + ";\n";
            out += "\n    " + imp + "();\n    ~" + imp +
                   "() override;\n"
                   "    void ImpulseEndAccumulate(double) override {}\n"
                   "    void ImpulseUpdate(double) override {}\n"
                   "    void ImpulseAccumulate(double, double) override {}\n"
                   "    void ImpulseCurrentReward() override;\n"
                   "    void ImpulseReset() override { Reset(); }\n"
                   "    ImpulseNodeClass** CreateWorkers(int count) override;\n};\n\n";
        }
        out += "class " + pv + " : public PerformanceVariableNode {\n  public:\n";
        out += "    " + model_.ClassOf(top) + "* TheModelPtr;\n";
        for (size_t j = 0; j < r.impulseModels.size(); j++)
            out += "    " + pv + "Impulse" + Str(j) + " impulse" + Str(j) + ";\n";
        out += "\n    explicit " + pv + "(int timeIndex);\n    ~" + pv +
               "() override;\n"
               "    void CreateWorkerList() override;\n";
        if (!r.decl->condition.empty())
            out += "    bool ConditionHolds() override;\n";
        out += "};\n\n";
    }
    std::string cls = top + "PVModel";
    out += "// Reward model of " + top + ".\n";
    out += "class " + cls + " : public PVModel {\n  public:\n    explicit " + cls +
           "(bool expandTimes);\n    ~" + cls +
           "() override;\n    PerformanceVariableNode* createPVNode(int pv, int timeIndex) "
           "override;\n};\n\n";
}

void Emitter::StudyHeader(std::string& out) const {
    const std::string cls = model_.Top() + "RangeStudy";
    out += "// Study of " + model_.Top() + ": the values of the global variables per experiment.\n";
    out += "class " + cls + " : public BaseStudyClass {\n  public:\n";
    for (const Global& g : model_.File().globals)
        out += "    " + g.type.text + "* " + g.name.text + "Values;\n";
    out += "\n    " + cls + "();\n    ~" + cls +
           "() override;\n\n"
           "    PVModel* GetPVModel(bool expandTimes) override;\n"
           "    void SetGVs(int experiment) override;\n"
           "    void PrintGlobalValues(int experiment) override;\n"
           "    void* GetGVValue(char* name) override;\n"
           "    void OverrideGVValue(char* name, void* value) override;\n};\n\n";
}

// ---------------------------------------------------------------- source

std::string Emitter::Source() const {
    const ModelFile& file = model_.File();
    std::string out;
    out += "// Generated by sanc from " + Escaped(modelPath_) +
           ": edit the model file, not this one.\n";
    out += "#include \"" + headerName_ + "\"\n\n";
    out += "#include \"distributions/UserDistributions.h\"\n\n"
           "#include <algorithm>\n#include <cmath>\n#include <cstdlib>\n#include "
           "<cstring>\n#include <iostream>\n#include <vector>\n\n";
    for (const Global& g : file.globals)
        out += g.type.text + " " + g.name.text + " = 0;\n";
    if (!file.globals.empty())
        out += "\n";
    for (const Fragment& code : file.code)
        out += Laid(code) + "\n";
    // The rewards' expressions and the numbers of instances come before the atomic
    // models' namespaces, which would hide a function of a code block named like a
    // model from them.
    Calls rewardCalls;
    RewardExpressionsSource(out, rewardCalls);
    Calls countCalls;
    CountsSource(out, countCalls);
    for (const Model::Atomic& a : model_.Atomics())
        AtomicSource(out, a);
    for (const JoinDecl& j : file.joins)
        JoinSource(out, j, countCalls);
    RewardSource(out, rewardCalls);
    StudySource(out);
    return Finish(out, sourcePath_);
}

void Emitter::ExpressionsSource(std::string& text, const Model::Atomic& atomic,
                                Calls& calls) const {
    const AtomicDecl& decl = *atomic.decl;
    const std::string& m = decl.name.text;
    // Gathered apart, so that a model without expressions gets no namespace: its name
    // hides any function of that name from the expressions that follow.
    std::string out;
    for (const PlaceDecl& p : decl.places) {
        if (!p.IsArray() && p.initial.empty())
            continue;
        const std::string scope = m + "::" + p.name.text + "::";
        std::set<std::string> taken;
        NamesOf(p.size, taken);
        NamesOf(p.initial, taken);
        // The index of the replica, which the model's constructor has, to a fragment
        // that reads it.
        auto replica = [&](const Fragment& f) { return Reads(f, "replica"); };
        auto parameter = [&](const Fragment& f) {
            return replica(f) ? std::string("const int replica") : std::string();
        };
        auto argument = [&](const Fragment& f) {
            return replica(f) ? std::string("replica") : std::string();
        };
        out += "namespace " + p.name.text + " {\n";
        if (p.IsArray()) {
            const std::string name = FreeName("size", taken);
            out += Function("int", name, parameter(p.size), p.size);
            calls[&p.size] = scope + name + "(" + argument(p.size) + ")";
        }
        if (p.IsArray() && !p.initial.empty() && p.initial.text[0] == '{') {
            // A list initialises an array as written (returned as a vector, its
            // conversion would add a second message to any error in it).
            const std::string name = FreeName("initial", taken);
            const std::string markings = FreeName("markings", taken);
            out += "inline std::vector<short> " + name + "(" + parameter(p.initial) +
                   ") {\n    const short " + markings + "[] =\n" + Laid(p.initial) +
                   "        ;\n    return std::vector<short>(" + markings + ", " + markings +
                   " + sizeof " + markings + " / sizeof " + markings + "[0]);\n}\n";
            calls[&p.initial] = scope + name + "(" + argument(p.initial) + ")";
        } else if (!p.initial.empty()) {
            const std::string name = FreeName("initial", taken);
            out += Function("short", name, parameter(p.initial), p.initial);
            calls[&p.initial] = scope + name + "(" + argument(p.initial) + ")";
        }
        out += "} // namespace " + p.name.text + "\n\n";
    }
    for (const ActivityDecl& a : decl.activities) {
        // The fragments that the activity's methods evaluate, with the type and the
        // name of the function of each.
        struct Item {
            const Fragment* fragment;
            const char* type;
            std::string name;
        };
        std::vector<Item> items;
        auto add = [&](const Fragment& f, const char* type, const std::string& name) {
            if (!f.empty())
                items.push_back({&f, type, name});
        };
        if (a.timing == Timing::Timed) {
            if (a.distribution == DistributionKind::Erlang)
                add(a.phases, "double", "phases");
            add(a.rate, "double",
                a.distribution == DistributionKind::Deterministic ? "delay" : "rate");
            const std::vector<std::string> names = ParameterNames(a.distribution);
            for (size_t k = 0; k < a.general.size() && k < names.size(); k++)
                add(a.general[k], "double", names[k]);
        }
        if (a.cases.empty())
            add(a.weight, "double", "weight");
        add(a.rank, "int", "rank");
        for (const Arc& arc : a.inputs)
            if (!IsOne(arc.multiplicity))
                add(arc.multiplicity, "double", "input_arc_" + arc.place.text + ElementName(arc));
        for (const InputGate& g : a.inputGates) {
            add(g.predicate, "bool", "input_gate_predicate");
            add(g.function, "void", "input_gate_function");
        }
        auto outputs = [&](const Outputs& o, const std::string& prefix) {
            for (const Arc& arc : o.arcs)
                if (!IsOne(arc.multiplicity))
                    add(arc.multiplicity, "double",
                        prefix + "output_arc_" + arc.place.text + ElementName(arc));
            for (const Fragment& g : o.gates)
                add(g, "void", prefix + "output_gate");
        };
        outputs(a.outputs, "");
        for (size_t k = 0; k < a.cases.size(); k++) {
            const std::string prefix = "case" + Str(k + 1) + "_";
            add(a.cases[k].probability, "double", prefix + "probability");
            outputs(a.cases[k].outputs, prefix);
        }

        // A function's name must hide no name its fragments use.
        if (items.empty())
            continue;
        std::set<std::string> taken;
        for (const Item& item : items)
            NamesOf(*item.fragment, taken);
        out += "namespace " + a.name.text + " {\n";
        for (const Item& item : items) {
            const Fragment& f = *item.fragment;
            std::vector<std::string> places;
            model_.MarkingExpression(decl, f, &places);
            // Each place a fragment names is a reference of that name to its marking,
            // so that the fragment's text compiles as written.
            std::string parameters;
            std::string arguments;
            for (const std::string& place : places) {
                const bool isArray = model_.IsArray(m, place);
                parameters += (parameters.empty() ? "" : ", ") +
                              std::string(isArray ? "PlaceArray::Marks& " : "short& ") + place;
                arguments += (arguments.empty() ? "" : ", ") +
                             (isArray ? place + "_Mark" : "(*" + place + "_Mark)");
            }
            // The element of a family's activity and the index of the replica are
            // members of the activity's class, passed under the names the model reads.
            for (const std::string& index : {a.index.text, std::string("replica")}) {
                if (index.empty() || !Reads(f, index))
                    continue;
                parameters += (parameters.empty() ? "" : ", ") + ("const int " + index);
                arguments += (arguments.empty() ? "" : ", ") + index;
            }
            const std::string name = FreeName(item.name, taken);
            out += std::string(item.type) == "void" ? Procedure(name, parameters, f)
                                                    : Function(item.type, name, parameters, f);
            calls[&f] = m + "::" + a.name.text + "::" + name + "(" + arguments + ")";
        }
        out += "} // namespace " + a.name.text + "\n\n";
    }
    if (out.empty())
        return;
    // The outer namespace is unnamed so that a model named like a function of the
    // standard library (clock, time) does not clash with it.
    text += "// The expressions of atomic model " + m + ", one function each.\n";
    text += "namespace {\nnamespace " + m + " {\n\n" + out;
    text += "} // namespace " + m + "\n} // namespace\n\n";
}

void Emitter::ActionSource(std::string& out, const Model::Atomic& atomic,
                           const Model::Action& action, const Calls& calls) const {
    const AtomicDecl& decl = *atomic.decl;
    const ActivityDecl& a = *action.activity;
    const Case* c = action.caseIndex == 0 ? nullptr : &a.cases[action.caseIndex - 1];
    const std::string q = decl.name.text + "SAN::" + action.type + "::";
    auto expr = [&](const Fragment& f) { return calls.at(&f); };
    auto returning = [&](const Fragment& f) { return "    return " + expr(f) + ";\n"; };
    int params = ParameterCount(a);

    out += q + action.type + "() {\n";
    if (params > 0)
        out += "    TheDistributionParameters = new double[" + Str(params) + "];\n";
    out += "    ActivityInitialize(\"" + action.name + "\", " + Str(action.group) + ", " +
           DistributionName(a) + ", DefaultPolicy, " + Str(action.affected.size()) + ", " +
           Str(action.enabling.size()) + ", false);\n";
    // An exponential rate that reads no place never changes while the model runs.
    if (std::string(DistributionName(a)) == "Exponential") {
        std::vector<std::string> read;
        model_.MarkingExpression(decl, a.rate, &read);
        if (read.empty())
            out += "    ConstantRate = true;\n";
    }
    out += "}\n\n";
    out += q + "~" + action.type + "() {" +
           (params > 0 ? "\n    delete[] TheDistributionParameters;\n}\n\n" : "}\n\n");

    out += "bool " + q + "Enabled() {\n    PreviouslyEnabled = CurrentlyEnabled;\n";
    std::string conditions;
    for (const Arc& arc : a.inputs) {
        conditions += conditions.empty() ? "" : " && ";
        if (IsOne(arc.multiplicity))
            conditions += ArcMark(arc) + " > 0";
        else
            conditions += ArcMark(arc) + " >= (" + expr(arc.multiplicity) + ")";
    }
    for (const InputGate& g : a.inputGates) {
        conditions += conditions.empty() ? "" : " && ";
        conditions += expr(g.predicate);
    }
    if (conditions.empty())
        conditions = "true";
    out += "    CurrentlyEnabled = " + conditions + ";\n";
    out += "    return CurrentlyEnabled;\n}\n\n";

    out += "double " + q + "Weight() {\n";
    if (c != nullptr)
        out += returning(c->probability);
    else if (!a.weight.empty())
        out += returning(a.weight);
    else
        out += "    return 1;\n";
    out += "}\n\n";

    out += "double " + q + "Rate() {\n";
    if (a.timing == Timing::Timed && a.distribution != DistributionKind::Deterministic &&
        a.general.empty())
        out += returning(a.rate);
    else
        out += "    return 0;\n";
    out += "}\n\n";

    out += "bool " + q + "ReactivationPredicate() {\n    return false;\n}\n\n";
    out += "bool " + q + "ReactivationFunction() {\n    return false;\n}\n\n";

    out += "double " + q + "SampleDistribution() {\n";
    if (a.timing == Timing::Instantaneous)
        out += "    return 0;\n";
    else if (a.distribution == DistributionKind::Exponential)
        out += "    return TheDistribution->Exponential(" + expr(a.rate) + ");\n";
    else if (a.distribution == DistributionKind::Deterministic)
        out += returning(a.rate);
    else if (a.distribution == DistributionKind::Erlang)
        out += "    return TheDistribution->Erlang(ErlangParamM(), ErlangParamM() / Rate());\n";
    else
        out += "    return TheDistribution->" + std::string(DistributionName(a)) + "(" +
               List(a.general, expr) + ");\n";
    out += "}\n\n";

    out += "double* " + q + "ReturnDistributionParameters() {\n";
    if (a.timing == Timing::Instantaneous)
        out += "    return nullptr;\n";
    else if (a.distribution == DistributionKind::Exponential)
        out +=
            "    TheDistributionParameters[0] = Rate();\n    return TheDistributionParameters;\n";
    else if (a.distribution == DistributionKind::Deterministic)
        out += "    TheDistributionParameters[0] = " + expr(a.rate) +
               ";\n    return TheDistributionParameters;\n";
    else if (a.distribution == DistributionKind::Erlang)
        out +=
            "    TheDistributionParameters[0] = ErlangParamM();\n"
            "    TheDistributionParameters[1] = Rate();\n    return TheDistributionParameters;\n";
    else {
        for (size_t k = 0; k < a.general.size(); k++)
            out += "    TheDistributionParameters[" + Str(k) + "] = " + expr(a.general[k]) + ";\n";
        out += "    return TheDistributionParameters;\n";
    }
    out += "}\n\n";

    if (a.distribution == DistributionKind::Erlang)
        out += "double " + q + "ErlangParamM() {\n" + returning(a.phases) + "}\n\n";

    out += "BaseActionClass* " + q + "Fire() {\n";
    for (const Arc& arc : a.inputs) {
        if (IsOne(arc.multiplicity))
            out += "    " + ArcMark(arc) + "--;\n";
        else
            out += "    " + ArcMark(arc) + " -= " + expr(arc.multiplicity) + ";\n";
    }
    auto block = [&](const Fragment& f) {
        if (f.empty())
            return;
        out += "    " + expr(f) + ";\n";
    };
    for (const InputGate& g : a.inputGates)
        block(g.function);
    auto outputs = [&](const Outputs& o) {
        for (const Arc& arc : o.arcs) {
            if (IsOne(arc.multiplicity))
                out += "    " + ArcMark(arc) + "++;\n";
            else
                out += "    " + ArcMark(arc) + " += " + expr(arc.multiplicity) + ";\n";
        }
        for (const Fragment& g : o.gates)
            block(g);
    };
    outputs(a.outputs);
    if (c != nullptr)
        outputs(c->outputs);
    out += "    return this;\n}\n\n";

    out += "int " + q + "Rank() {\n";
    if (!a.rank.empty())
        out += returning(a.rank);
    else
        out += "    return 1;\n";
    out += "}\n\n";

    out += "void " + q + "LinkVariables() {\n";
    for (const std::string& p : action.attached) {
        if (model_.IsArray(decl.name.text, p))
            out += "    " + p + "_Mark.Link(" + p + ");\n";
        else
            out += "    " + p + "_Mark = " + p + "->Value;\n    " + p + "->addReference(&" + p +
                   "_Mark, nullptr);\n";
    }
    out += "}\n\n";
}

void Emitter::AtomicSource(std::string& out, const Model::Atomic& atomic) const {
    const AtomicDecl& decl = *atomic.decl;
    const std::string cls = decl.name.text + "SAN";
    out += "// ---------------------------------------------------------------- " + decl.name.text +
           "\n\n";
    Calls calls;
    ExpressionsSource(out, atomic, calls);
    for (const Model::Action& action : atomic.actions)
        ActionSource(out, atomic, action, calls);

    if (model_.UsesReplica(decl.name.text)) {
        out += cls + "::" + cls + "(int replica) {\n";
        for (const Model::Action& action : atomic.actions)
            if (!action.activity->IsFamily())
                out += "    " + action.member + ".replica = replica;\n";
    } else {
        out += cls + "::" + cls + "() {\n";
    }
    for (const Model::Group& g : atomic.groups) {
        if (!g.cases || g.activity->IsFamily())
            continue;
        const std::string group = g.activity->name.text + "Group";
        out += "    " + group + ".initialize(" + Str(g.activity->cases.size()) + ", \"" + group +
               "\");\n";
        for (size_t k = 1; k <= g.activity->cases.size(); k++)
            out += "    " + group + ".appendGroup(&" + g.activity->name.text + "_case" + Str(k) +
                   ");\n";
    }
    for (const PlaceDecl& p : decl.places) {
        const std::string& n = p.name.text;
        if (p.IsArray()) {
            // The markings live in a table that the array copies.
            const std::string size = calls.at(&p.size);
            if (p.initial.empty()) {
                out += "    " + n + " = new PlaceArray(\"" + n + "\", " + size + ", nullptr);\n";
            } else if (p.initial.text[0] == '{') {
                out += "    {\n        const std::vector<short> initial = " + calls.at(&p.initial) +
                       ";\n        " + n + " = new PlaceArray(\"" + n + "\", " + size +
                       ", initial.data());\n    }\n";
            } else {
                out += "    {\n        const int size = " + size +
                       ";\n        const std::vector<short> initial(static_cast<size_t>(size > 0 ? "
                       "size : 0), " +
                       calls.at(&p.initial) + ");\n        " + n + " = new PlaceArray(\"" + n +
                       "\", size, initial.data());\n    }\n";
            }
            continue;
        }
        if (p.initial.empty())
            out += "    " + p.name.text + " = new Place(\"" + p.name.text + "\", 0);\n";
        else
            out += "    " + p.name.text + " = new Place(\"" + p.name.text + "\", " +
                   calls.at(&p.initial) + ");\n";
    }
    if (IsFamilyModel(decl)) {
        FamilyConstructor(out, atomic);
        return;
    }
    std::string places = "nullptr";
    if (!decl.places.empty()) {
        out += "    BaseStateVariableClass* InitialPlaces[" + Str(decl.places.size()) + "] = {" +
               List(decl.places, [](const PlaceDecl& p) { return p.name.text; }) + "};\n";
        places = "InitialPlaces";
    }
    std::string actions = "nullptr";
    std::string groups = "nullptr";
    if (!atomic.actions.empty()) {
        out += "    Activity* InitialActionList[" + Str(atomic.actions.size()) + "] = {" +
               List(atomic.actions, [](const Model::Action& a) { return "&" + a.member; }) + "};\n";
        out += "    BaseGroupClass* InitialGroupList[" + Str(atomic.groups.size()) + "] = {" +
               List(atomic.groups,
                    [](const Model::Group& g) {
                        return "&" + g.activity->name.text + (g.cases ? "Group" : "");
                    }) +
               "};\n";
        actions = "InitialActionList";
        groups = "InitialGroupList";
    }
    out += "    initializeSANModelNow(\"" + decl.name.text + "\", " + Str(decl.places.size()) +
           ", " + places + ", 0, nullptr, " + Str(atomic.actions.size()) + ", " + actions + ", " +
           Str(atomic.groups.size()) + ", " + groups + ");\n\n";
    for (const Model::Action& action : atomic.actions)
        for (const std::string& p : action.attached)
            out += "    " + action.member + "." + p + " = " + p + ";\n";
    out += "\n";
    for (const Model::Action& action : atomic.actions)
        for (const std::string& p : action.affected)
            out += "    AddAffectArc(" + p + ", &" + action.member + ");\n";
    for (const Model::Action& action : atomic.actions)
        for (const std::string& p : action.enabling)
            out += "    AddEnableArc(" + p + ", &" + action.member + ");\n";
    out += "\n";
    for (const Model::Action& action : atomic.actions)
        out += "    " + action.member + ".LinkVariables();\n";
    out += "}\n\n";
    out += cls + "::~" + cls +
           "() {\n"
           "    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)\n"
           "        delete Places[i];\n}\n\n";
}

// The rest of the constructor of an atomic model with activity families, and its
// destructor: each family has one activity per element of its array, named
// <activity>[<index>], so the lists of actions and groups are built when the model is.
void Emitter::FamilyConstructor(std::string& out, const Model::Atomic& atomic) const {
    const AtomicDecl& decl = *atomic.decl;
    const std::string cls = decl.name.text + "SAN";
    const bool replica = model_.UsesReplica(decl.name.text);
    for (const Model::Action& action : atomic.actions) {
        const ActivityDecl& a = *action.activity;
        if (!a.IsFamily())
            continue;
        const std::string m = action.member;
        const std::string suffix = action.caseIndex == 0 ? "" : "_case" + Str(action.caseIndex);
        out += "    for (int k = 0; k < " + a.array.text + "->Size(); k++) {\n        " + m +
               ".push_back(new " + action.type + "());\n        " + m + ".back()->" + a.index.text +
               " = k;\n" + (replica ? "        " + m + ".back()->replica = replica;\n" : "") +
               "        " + m + ".back()->defineName((\"" + a.name.text +
               "[\" + std::to_string(k) + \"]" + suffix + "\").c_str());\n    }\n";
    }
    // The cases of each activity of a family in a group of their own.
    for (const Model::Group& g : atomic.groups) {
        const ActivityDecl& a = *g.activity;
        if (!g.cases || !a.IsFamily())
            continue;
        const std::string group = a.name.text + "Group";
        out += "    for (int k = 0; k < " + a.array.text + "->Size(); k++) {\n        " + group +
               ".push_back(new PostselectGroup());\n        " + group + ".back()->initialize(" +
               Str(a.cases.size()) + ", (\"" + a.name.text +
               "[\" + std::to_string(k) + \"]Group\").c_str());\n";
        for (size_t c = 1; c <= a.cases.size(); c++)
            out += "        " + group + ".back()->appendGroup(" + a.name.text + "_case" + Str(c) +
                   "[static_cast<size_t>(k)]);\n";
        out += "    }\n";
    }
    out += "    BaseStateVariableClass* InitialPlaces[" + Str(decl.places.size()) + "] = {" +
           List(decl.places, [](const PlaceDecl& p) { return p.name.text; }) + "};\n";
    out += "    std::vector<Activity*> actions;\n";
    for (const Model::Action& action : atomic.actions) {
        const ActivityDecl& a = *action.activity;
        if (!a.IsFamily()) {
            out += "    actions.push_back(&" + action.member + ");\n";
        } else if (action.caseIndex == 0) {
            out += "    actions.insert(actions.end(), " + action.member + ".begin(), " +
                   action.member + ".end());\n";
        } else if (action.caseIndex == 1) {
            // Element by element, each with its cases, as the activities written out.
            out += "    for (size_t k = 0; k < " + action.member + ".size(); k++) {\n";
            for (size_t c = 1; c <= a.cases.size(); c++)
                out += "        actions.push_back(" + a.name.text + "_case" + Str(c) + "[k]);\n";
            out += "    }\n";
        }
    }
    out += "    std::vector<BaseGroupClass*> groups;\n";
    for (const Model::Group& g : atomic.groups) {
        const std::string& n = g.activity->name.text;
        const std::string member = n + (g.cases ? "Group" : "");
        out += g.activity->IsFamily() ? "    groups.insert(groups.end(), " + member + ".begin(), " +
                                            member + ".end());\n"
                                      : "    groups.push_back(&" + member + ");\n";
    }
    out += "    initializeSANModelNow(\"" + decl.name.text + "\", " + Str(decl.places.size()) +
           ", InitialPlaces, 0, nullptr, static_cast<int>(actions.size()), actions.data(),\n"
           "                          static_cast<int>(groups.size()), groups.data());\n"
           "    for (size_t g = 0; g < groups.size(); g++)\n"
           "        groups[g]->setGroupId(static_cast<int>(g));\n\n";
    // Each statement once per activity: through the family's activities in a loop.
    auto each = [&](const Model::Action& action, const std::string& text) {
        if (!action.activity->IsFamily())
            return "    " + text + "\n";
        return "    for (" + action.type + "* activity : " + action.member + ")\n        " + text +
               "\n";
    };
    auto self = [](const Model::Action& action) {
        return action.activity->IsFamily() ? std::string("activity") : "(&" + action.member + ")";
    };
    for (const Model::Action& action : atomic.actions)
        for (const std::string& p : action.attached)
            out += each(action, self(action) + "->" + p + " = " + p + ";");
    for (const Model::Action& action : atomic.actions)
        for (const std::string& p : action.affected)
            out += each(action, "AddAffectArc(" + p + ", " + self(action) + ");");
    for (const Model::Action& action : atomic.actions)
        for (const std::string& p : action.enabling)
            out += each(action, "AddEnableArc(" + p + ", " + self(action) + ");");
    for (const Model::Action& action : atomic.actions)
        out += each(action, self(action) + "->LinkVariables();");
    out += "}\n\n";
    out += cls + "::~" + cls + "() {\n";
    for (const Model::Action& action : atomic.actions)
        if (action.activity->IsFamily())
            out += each(action, "delete activity;");
    for (const Model::Group& g : atomic.groups)
        if (g.cases && g.activity->IsFamily())
            out += "    for (PostselectGroup* group : " + g.activity->name.text +
                   "Group)\n        delete group;\n";
    out += "    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)\n"
           "        delete Places[i];\n}\n\n";
}

void Emitter::JoinConstructorHead(std::string& out, const JoinDecl& join,
                                  const std::string& children) const {
    const std::string cls = join.name.text + "RJ";
    std::string names = "nullptr";
    if (!join.shares.empty()) {
        out +=
            "static char* " + cls + "__SharedNames[] = {" +
            List(join.shares,
                 [](const ShareDecl& s) { return "const_cast<char*>(\"" + s.name.text + "\")"; }) +
            "};\n\n";
        names = cls + "__SharedNames";
    }
    const bool replica = model_.UsesReplica(join.name.text);
    out += cls + "::" + cls + (replica ? "(int replica)" : "()") + " : Join(\"Join\", " + children +
           ", " + Str(join.shares.size()) + ", " + names + ") {\n";
    if (replica)
        out += "    (void)replica;\n";
}

void Emitter::JoinSource(std::string& out, const JoinDecl& join, const Calls& calls) const {
    if (Model::HasRuntimeCount(join)) {
        RuntimeJoinSource(out, join, calls);
        return;
    }
    const std::string cls = join.name.text + "RJ";
    const auto children = Model::ChildMembers(join);
    out += "// ---------------------------------------------------------------- " + join.name.text +
           "\n\n";
    JoinConstructorHead(out, join, Str(children.size()));
    for (size_t k = 0; k < children.size(); k++) {
        const auto& [member, model] = children[k];
        // An instance of several is told its index; a single one, the join's.
        std::string index;
        if (model_.UsesReplica(model))
            index =
                member == model ? "replica" : Str(std::stoi(member.substr(model.size() + 1)) - 1);
        out += "    " + member + " = new " + model_.ClassOf(model) + "(" + index + ");\n";
        out += "    Children[" + Str(k) + "] = " + member + ";\n";
        out += "    " + member + "->DefineName(\"" + model + "\");\n";
    }
    out += "\n    SetupActions();\n    if (AllChildrenEmpty()) {\n"
           "        NumSharedStateVariables = 0;\n    } else {\n";
    for (const ShareDecl& s : join.shares) {
        if (model_.IsArray(join.name.text, s.name.text)) {
            // As many places as the first member's array.
            const ShareMember& first = s.members.front();
            std::string instance;
            for (const auto& [member, model] : children)
                if (model == first.child.text && instance.empty())
                    instance = member;
            out += "        " + s.name.text + " = new PlaceArray(\"" + s.name.text + "\", " +
                   instance + "->" + first.place.text + "->Size(), nullptr);\n";
        } else {
            out += "        " + s.name.text + " = new Place(\"" + s.name.text + "\");\n";
        }
        out += "        addSharedPtr(" + s.name.text + ", \"" + s.name.text + "\");\n";
        for (const ShareMember& m : s.members) {
            for (const auto& [member, model] : children) {
                if (model != m.child.text)
                    continue;
                std::string place = member + "->" + m.place.text;
                out += "        if (" + member + "->NumStateVariables > 0) {\n";
                out += "            " + s.name.text + "->ShareWith(" + place + ");\n";
                out += "            addSharingInfo(" + place + ", " + s.name.text + ", " + member +
                       ");\n        }\n";
            }
        }
    }
    out += "    }\n    Setup();\n}\n\n";
    out += cls + "::~" + cls + "() {\n";
    if (!join.shares.empty()) {
        out += "    if (!AllChildrenEmpty()) {\n";
        for (const ShareDecl& s : join.shares)
            out += "        delete " + s.name.text + ";\n";
        out += "    }\n";
    }
    for (const auto& child : children)
        out += "    delete " + child.first + ";\n";
    out += "}\n\n";
}

void Emitter::CountsSource(std::string& out, Calls& calls) const {
    for (const JoinDecl& join : model_.File().joins) {
        // The namespace is not the join's name, which a global variable the count
        // reads may have.
        const std::string scope = "join_" + join.name.text;
        std::set<std::string> taken;
        for (const ChildDecl& c : join.children)
            NamesOf(c.count, taken);
        std::string functions;
        for (const ChildDecl& c : join.children) {
            if (!c.Runtime())
                continue;
            const std::string name = FreeName("count_" + c.model.text, taken);
            functions += Function("double", name, "", c.count);
            calls[&c.count] = scope + "::" + name + "()";
        }
        if (!functions.empty())
            out += "// The numbers of instances of join " + join.name.text +
                   ", one function each.\nnamespace {\nnamespace " + scope + " {\n\n" + functions +
                   "\n} // namespace " + scope + "\n} // namespace\n\n";
    }
}

void Emitter::RuntimeJoinSource(std::string& out, const JoinDecl& join, const Calls& calls) const {
    const std::string cls = join.name.text + "RJ";
    out += "// ---------------------------------------------------------------- " + join.name.text +
           "\n\n";
    // Each count the study sets, checked once per build of the model.
    std::string total;
    for (const ChildDecl& c : join.children) {
        if (!c.Runtime()) {
            total += (total.empty() ? "" : " + ") + Str(c.copies);
            continue;
        }
        const std::string count = cls + "__Count_" + c.model.text;
        out +=
            "static int " + count + "() {\n    const double count = " + calls.at(&c.count) + ";\n";
        std::string text;
        for (char ch : c.count.text)
            text += ch == '"' || ch == '\\' ? std::string("\\") + ch
                    : ch == '\n'            ? std::string(" ")
                                            : std::string(1, ch);
        out += "    if (!(count >= 1 && count <= 1000000 && count == std::floor(count))) {\n"
               "        std::cerr << \"Error: join " +
               join.name.text + " cannot be built: its number of instances of " + c.model.text +
               ", " + text +
               ", is \" << count\n                  << \", not a whole number from 1 to "
               "1000000\" << std::endl;\n        std::exit(1);\n    }\n"
               "    return static_cast<int>(count);\n}\n\n";
        total += (total.empty() ? "" : " + ") + count + "()";
    }
    JoinConstructorHead(out, join, total);
    out += "    int child = 0;\n";
    for (const ChildDecl& c : join.children) {
        const std::string& model = c.model.text;
        const std::string type = model_.ClassOf(model);
        const bool index = model_.UsesReplica(model);
        if (c.Runtime()) {
            out += "    for (int k = 0, n = " + cls + "__Count_" + model +
                   "(); k < n; k++) {\n"
                   "        " +
                   model + ".push_back(new " + type + "(" + (index ? "k" : "") +
                   "));\n"
                   "        Children[child++] = " +
                   model + ".back();\n        " + model + ".back()->DefineName(\"" + model +
                   "\");\n    }\n";
            continue;
        }
        for (int k = 1; k <= c.copies; k++) {
            const std::string member = c.copies == 1 ? model : model + "_" + Str(k);
            out += "    " + member + " = new " + type + "(" +
                   (index ? (c.copies == 1 ? "replica" : Str(k - 1)) : "") + ");\n";
            out += "    Children[child++] = " + member + ";\n";
            out += "    " + member + "->DefineName(\"" + model + "\");\n";
        }
    }
    // The instances of a child, as a loop over them or its members one by one.
    auto each = [&](const std::string& model, const std::string& indent,
                    const std::function<std::string(const std::string&)>& body) {
        const ChildDecl& c = *FindChild(join, model);
        if (c.Runtime())
            return indent + "for (" + model_.ClassOf(model) + "* instance : " + model + ") {\n" +
                   body("instance") + indent + "}\n";
        std::string text;
        for (int k = 1; k <= c.copies; k++) {
            const std::string member = c.copies == 1 ? model : model + "_" + Str(k);
            text += indent + "{\n" + body(member) + indent + "}\n";
        }
        return text;
    };
    out += "\n    SetupActions();\n    if (AllChildrenEmpty()) {\n"
           "        NumSharedStateVariables = 0;\n    } else {\n";
    for (const ShareDecl& s : join.shares) {
        const ShareMember& first = s.members.front();
        if (model_.IsArray(join.name.text, s.name.text)) {
            // As many places as the first member's array.
            const ChildDecl& c = *FindChild(join, first.child.text);
            const std::string instance =
                c.Runtime() ? first.child.text + ".front()"
                            : (c.copies == 1 ? first.child.text : first.child.text + "_1");
            out += "        " + s.name.text + " = new PlaceArray(\"" + s.name.text + "\", " +
                   instance + "->" + first.place.text + "->Size(), nullptr);\n";
        } else {
            out += "        " + s.name.text + " = new Place(\"" + s.name.text + "\");\n";
        }
        out += "        addSharedPtr(" + s.name.text + ", \"" + s.name.text + "\");\n";
        for (const ShareMember& m : s.members)
            out += each(m.child.text, "        ", [&](const std::string& member) {
                const std::string place = member + "->" + m.place.text;
                return "            if (" + member + "->NumStateVariables > 0) {\n" +
                       "                " + s.name.text + "->ShareWith(" + place + ");\n" +
                       "                addSharingInfo(" + place + ", " + s.name.text + ", " +
                       member + ");\n            }\n";
            });
    }
    out += "    }\n    Setup();\n}\n\n";
    out += cls + "::~" + cls + "() {\n";
    if (!join.shares.empty()) {
        out += "    if (!AllChildrenEmpty()) {\n";
        for (const ShareDecl& s : join.shares)
            out += "        delete " + s.name.text + ";\n";
        out += "    }\n";
    }
    for (const ChildDecl& c : join.children)
        out += each(c.model.text, "    ",
                    [](const std::string& member) { return "        delete " + member + ";\n"; });
    out += "}\n\n";
}

void Emitter::RewardExpressionsSource(std::string& out, Calls& calls) const {
    for (const Model::Reward& r : model_.Rewards()) {
        const RewardDecl& d = *r.decl;
        struct Item {
            const Fragment* fragment;
            const char* type;
            std::string name;
        };
        std::vector<Item> items;
        if (!d.rate.empty())
            items.push_back({&d.rate, "double", "rate"});
        if (!d.condition.empty())
            items.push_back({&d.condition, "bool", "condition"});
        for (const Impulse& imp : d.impulses)
            items.push_back(
                {&imp.value, "double", "impulse_" + imp.model.text + "_" + imp.activity.text});
        if (items.empty())
            continue;
        // Per submodel, the places the reward reads: a view of their markings under the
        // submodel's name lets "submodel.place" compile as written.
        std::vector<std::pair<std::string, std::vector<std::string>>> views;
        std::set<std::string> taken;
        for (const Item& item : items) {
            NamesOf(*item.fragment, taken);
            for (const auto& [model, place] : model_.RewardReads(*item.fragment)) {
                auto view = std::find_if(views.begin(), views.end(),
                                         [&](const auto& v) { return v.first == model; });
                if (view == views.end())
                    view = views.insert(views.end(), {model, {}});
                if (std::find(view->second.begin(), view->second.end(), place) ==
                    view->second.end())
                    view->second.push_back(place);
            }
        }
        const std::string scope = "reward_" + d.name.text;
        out += "// The expressions of reward variable " + d.name.text + ", one function each.\n";
        out += "namespace {\nnamespace " + scope + " {\n\n";
        for (const auto& [model, places] : views) {
            out += "struct " + model + " {\n";
            for (const std::string& place : places)
                out += model_.IsArray(model, place) ? "    PlaceArray& " + place + ";\n"
                                                    : "    short " + place + ";\n";
            out += "};\n";
        }
        for (const Item& item : items) {
            std::vector<std::string> read;
            for (const auto& [model, place] : model_.RewardReads(*item.fragment))
                if (std::find(read.begin(), read.end(), model) == read.end())
                    read.push_back(model);
            std::string parameters;
            std::string arguments;
            for (const std::string& model : read) {
                parameters += (parameters.empty() ? "" : ", ") + ("const " + model + "& " + model);
                const auto& places = std::find_if(views.begin(), views.end(), [&](const auto& v) {
                                         return v.first == model;
                                     })->second;
                arguments += std::string(arguments.empty() ? "" : ", ") + "{" +
                             List(places,
                                  [&](const std::string& place) {
                                      return model_.IsArray(model, place)
                                                 ? "*" + model + "->" + place
                                                 : model + "->" + place + "->getMark()";
                                  }) +
                             "}";
            }
            const std::string name = FreeName(item.name, taken);
            out += Function(item.type, name, parameters, *item.fragment);
            calls[item.fragment] = scope + "::" + name + "(" + arguments + ")";
        }
        out += "\n} // namespace " + scope + "\n} // namespace\n\n";
    }
}

void Emitter::RewardSource(std::string& out, const Calls& calls) const {
    const std::string top = model_.Top();
    const std::vector<Model::Reward>& rewards = model_.Rewards();
    auto slots = [&](const std::vector<std::string>& models) {
        std::string s = "    NumModelSlots = " + Str(models.size()) + ";\n";
        s += "    ModelSlots = new BaseModelClass**[" + Str(models.size()) + "];\n";
        for (size_t k = 0; k < models.size(); k++)
            s += "    ModelSlots[" + Str(k) + "] = reinterpret_cast<BaseModelClass**>(&" +
                 models[k] + ");\n";
        return s;
    };
    for (size_t i = 0; i < rewards.size(); i++) {
        const Model::Reward& r = rewards[i];
        const RewardDecl& d = *r.decl;
        std::string pv = top + "PV" + Str(i);
        out += "// ---------------------------------------------------------------- " +
               d.name.text + "\n\n";
        out += pv + "Worker::" + pv + "Worker() {\n" + slots(r.models) + "}\n\n";
        out += pv + "Worker::~" + pv + "Worker() {\n    delete[] ModelSlots;\n}\n\n";
        out += "double " + pv + "Worker::Reward_Function() {\n";
        if (d.rate.empty())
            out += "    return 0;\n";
        else
            out += "    return " + calls.at(&d.rate) + ";\n";
        out += "}\n\n";
        if (!d.condition.empty())
            out += "bool " + pv + "Worker::Condition_Function() {\n    return " +
                   calls.at(&d.condition) + ";\n}\n\n";

        for (size_t j = 0; j < r.impulseModels.size(); j++) {
            const Impulse& imp = d.impulses[j];
            std::string cls = pv + "Impulse" + Str(j);
            out += cls + "::" + cls + "() {\n" + slots(r.impulseModels[j]) + "}\n\n";
            out += cls + "::~" + cls + "() {\n    delete[] ModelSlots;\n}\n\n";
            out += "void " + cls +
                   "::ImpulseCurrentReward() {\n    Value = " + calls.at(&imp.value) + ";\n" +
                   "    ValueSquare = Value * Value;\n}\n\n";
            out += "ImpulseNodeClass** " + cls +
                   "::CreateWorkers(int count) {\n"
                   "    ImpulseNodeClass** workers = new ImpulseNodeClass*[count];\n"
                   "    for (int k = 0; k < count; k++)\n"
                   "        workers[k] = new " +
                   cls + "();\n    return workers;\n}\n\n";
        }

        out += pv + "::" + pv + "(int timeIndex) {\n";
        out += "    TopModelRef = reinterpret_cast<BaseModelClass**>(&TheModelPtr);\n";
        size_t n = d.starts.size();
        std::string starts = "nullptr";
        std::string stops = "nullptr";
        if (n > 0) {
            out += "    double startPts[" + Str(n) + "] = {" + List(d.starts, TimeLiteral) + "};\n";
            out += "    double stopPts[" + Str(n) + "] = {" + List(d.stops, TimeLiteral) + "};\n";
            starts = "startPts";
            stops = "stopPts";
        }
        out += "    Initialize(\"" + d.name.text + "\", static_cast<RewardType>(" +
               Str(KindNumber(d.kind)) + "), " + Str(n) + ", " + starts + ", " + stops +
               ", timeIndex, " + Str(d.impulses.size()) + ", " + Str(r.models.size()) + ", " +
               Str(r.dependencies.size()) + ");\n";
        for (const auto& [place, model] : r.dependencies)
            out += "    AddVariableDependency(\"" + place + "\", \"" + model + "\");\n";
        // A rate that reads no place is evaluated in a submodel it does not read.
        for (const std::string& model : r.models)
            if (std::none_of(r.dependencies.begin(), r.dependencies.end(),
                             [&](const auto& dep) { return dep.second == model; }))
                out += "    AddModelDependency(\"" + model + "\");\n";
        for (size_t j = 0; j < d.impulses.size(); j++) {
            const Impulse& imp = d.impulses[j];
            out += "    AddImpulse(\"" + imp.activity.text + "\", \"" + imp.model.text +
                   "\", &impulse" + Str(j) + ");\n";
            for (size_t k = 1; k < r.impulseModels[j].size(); k++)
                out += "    AddImpulseModelDependency(\"" + r.impulseModels[j][k] + "\", &impulse" +
                       Str(j) + ");\n";
        }
        out += "}\n\n";
        out += pv + "::~" + pv +
               "() {\n    for (int i = 0; i < NumWorkers; i++) {\n"
               "        delete[] Workers[i]->Name;\n        delete Workers[i];\n    }\n}\n\n";
        out += "void " + pv +
               "::CreateWorkerList() {\n    for (int i = 0; i < NumWorkers; i++)\n"
               "        Workers[i] = new " +
               pv + "Worker();\n}\n\n";
        // The condition reads submodels of one instance: every worker sees the same
        // marking of them.
        if (!d.condition.empty())
            out += "bool " + pv +
                   "::ConditionHolds() {\n    return NumWorkers > 0 && static_cast<" + pv +
                   "Worker*>(Workers[0])->Condition_Function();\n}\n\n";
    }

    std::string cls = top + "PVModel";
    out += cls + "::" + cls + "(bool expandTimes) {\n";
    out += "    TopModel = new " + model_.ClassOf(top) + "();\n";
    out += "    DefineName(\"" + cls + "\");\n";
    out += "    CreatePVList(" + Str(rewards.size()) + ", expandTimes);\n    Initialize();\n}\n\n";
    out += cls + "::~" + cls + "() {}\n\n";
    out += "PerformanceVariableNode* " + cls + "::createPVNode(int pv, int timeIndex) {\n";
    if (!rewards.empty()) {
        out += "    switch (pv) {\n";
        for (size_t i = 0; i < rewards.size(); i++)
            out += "    case " + Str(i) + ":\n        return new " + top + "PV" + Str(i) +
                   "(timeIndex);\n";
        out += "    }\n";
    } else {
        out += "    (void)pv;\n    (void)timeIndex;\n";
    }
    out += "    return nullptr;\n}\n\n";
}

void Emitter::StudySource(std::string& out) const {
    const std::string cls = model_.Top() + "RangeStudy";
    const std::vector<Global>& globals = model_.File().globals;
    const auto& values = model_.GlobalValues();
    const std::string e = Str(model_.Experiments());
    out += "// ---------------------------------------------------------------- study\n\n";
    out +=
        "BaseStudyClass* GlobalStudyPtr = nullptr;\n\n"
        "BaseStudyClass* GenerateStudy() {\n    if (GlobalStudyPtr == nullptr)\n"
        "        GlobalStudyPtr = new " +
        cls +
        "();\n    return GlobalStudyPtr;\n}\n\n"
        "void DestructStudy() {\n    delete GlobalStudyPtr;\n    GlobalStudyPtr = nullptr;\n}\n\n";
    out += cls + "::" + cls + "() {\n";
    out += "    NumGVs = " + Str(globals.size()) + ";\n    NumExps = " + e + ";\n";
    out += "    GVNames = new char*[NumGVs];\n    GVTypes = new char*[NumGVs];\n";
    for (size_t k = 0; k < globals.size(); k++) {
        out += "    GVNames[" + Str(k) + "] = strdup(\"" + globals[k].name.text + "\");\n";
        out += "    GVTypes[" + Str(k) + "] = strdup(\"" + globals[k].type.text + "\");\n";
    }
    for (size_t k = 0; k < globals.size(); k++) {
        const std::string& type = globals[k].type.text;
        const std::string& name = globals[k].name.text;
        out += "    static const " + type + " " + name + "Table[" + e + "] = {" +
               List(values[k], [](const std::string& v) { return v; }) + "};\n";
        out += "    " + name + "Values = new " + type + "[NumExps];\n";
        out += "    for (int k = 0; k < NumExps; k++)\n        " + name + "Values[k] = " + name +
               "Table[k];\n";
    }
    out += "}\n\n";
    out += cls + "::~" + cls + "() {\n";
    for (const Global& g : globals)
        out += "    delete[] " + g.name.text + "Values;\n";
    out += "    delete CurrentPVModel;\n}\n\n";
    out += "PVModel* " + cls +
           "::GetPVModel(bool expandTimes) {\n    delete CurrentPVModel;\n"
           "    CurrentPVModel = new " +
           model_.Top() +
           "PVModel(expandTimes);\n"
           "    return CurrentPVModel;\n}\n\n";
    out += "void " + cls + "::SetGVs(int experiment) {\n";
    if (globals.empty())
        out += "    (void)experiment;\n";
    for (const Global& g : globals)
        out += "    " + g.name.text + " = " + g.name.text + "Values[experiment];\n";
    out += "}\n\n";
    out += "void " + cls +
           "::PrintGlobalValues(int experiment) {\n"
           "    if (NumGVs == 0) {\n"
           "        std::cout << \"There are no global variables.\" << std::endl;\n"
           "        return;\n    }\n    SetGVs(experiment);\n"
           "    std::cout << \"The Global Variable values for experiment \" << "
           "GetExpName(experiment)\n              << \" are:\" << std::endl;\n";
    for (const Global& g : globals) {
        std::string value = g.type.text == "float" ? "double(" + g.name.text + ")" : g.name.text;
        out += "    std::cout << \"" + g.name.text + "\\t" + g.type.text + "\\t\" << " + value +
               " << std::endl;\n";
    }
    out += "}\n\n";
    out += "void* " + cls + "::GetGVValue(char* name) {\n";
    for (const Global& g : globals)
        out += "    if (strcmp(\"" + g.name.text + "\", name) == 0)\n        return &" +
               g.name.text + ";\n";
    out += "    std::cerr << \"!! " + cls +
           "::GetGVValue: Global Variable \" << name << \" does not exist.\" << std::endl;\n"
           "    return nullptr;\n}\n\n";
    out += "void " + cls + "::OverrideGVValue(char* name, void* value) {\n";
    if (globals.empty())
        out += "    (void)value;\n";
    for (const Global& g : globals)
        out += "    if (strcmp(\"" + g.name.text + "\", name) == 0) {\n        " + g.name.text +
               " = *static_cast<" + g.type.text + "*>(value);\n        return;\n    }\n";
    out += "    std::cerr << \"!! " + cls +
           "::OverrideGVValue: Global Variable \" << name << \" does not exist.\" << std::endl;\n"
           "}\n";
}
