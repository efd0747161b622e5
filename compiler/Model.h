#ifndef SANC_MODEL_H
#define SANC_MODEL_H

#include "compiler/Ast.h"

#include <map>
#include <string>
#include <vector>

// A checked model file: every name resolved, every rule a modeller can break checked
// (unknown and duplicate names, shares of missing places, rewards over missing
// submodels, ...), and the facts the code needs worked out once: which places each
// firing touches, which enable it, the order of groups, the top-level model.
// Construction throws ModelError at the first fault, in the order of the file.
class Model {
  public:
    explicit Model(ModelFile file);

    // One action of an atomic model: an activity, or one case of an activity.
    struct Action {
        const ActivityDecl* activity;
        int caseIndex;                     // 0 when the activity has no cases, else 1..n
        std::string name;                  // the name the framework knows it by
        std::string member;                // the member of the atomic model's class
        std::string type;                  // its class
        int group;                         // index in the model's group list
        std::vector<std::string> attached; // every place it reads or writes, in order
        std::vector<std::string> affected; // places its firing may change
        std::vector<std::string> enabling; // places its enabling depends on
    };

    // A group of the model's group list: one activity, or the cases of one.
    struct Group {
        const ActivityDecl* activity;
        bool cases;
    };

    struct Atomic {
        const AtomicDecl* decl;
        std::vector<Action> actions;
        std::vector<Group> groups;
    };

    // A reward variable with the submodels its expressions read.
    struct Reward {
        const RewardDecl* decl;
        std::vector<std::string> models;                               // in order
        std::vector<std::pair<std::string, std::string>> dependencies; // (place, model)
        // Per impulse: the submodels its value reads, the activity's model first.
        std::vector<std::vector<std::string>> impulseModels;
    };

    const ModelFile& File() const { return file_; }
    const std::vector<Atomic>& Atomics() const { return atomics_; }
    const std::vector<Reward>& Rewards() const { return rewards_; }
    // The model the state space is explored of: the one no join contains.
    const std::string& Top() const { return top_; }
    // The study's values per global, in declaration order, one per experiment.
    const std::vector<std::vector<std::string>>& GlobalValues() const { return studyValues_; }
    int Experiments() const { return experiments_; }

    const AtomicDecl* FindAtomic(const std::string& name) const;
    const JoinDecl* FindJoin(const std::string& name) const;
    // The C++ class of a model: <name>SAN or <name>RJ.
    std::string ClassOf(const std::string& model) const;
    // The members of a join that hold its children, with the model of each.
    static std::vector<std::pair<std::string, std::string>> ChildMembers(const JoinDecl& join);

    // The text of a C++ fragment of atomic model `atomic` with its place names turned
    // into their markings; `places` receives the places it names, in order.
    std::string MarkingExpression(const AtomicDecl& atomic, const Fragment& f,
                                  std::vector<std::string>* places = nullptr) const;
    // The "submodel.place" a reward fragment reads, each once, in order.
    std::vector<std::pair<std::string, std::string>> RewardReads(const Fragment& f) const;

    // Whether a place of a model (a join's shared place included) is an array.
    bool IsArray(const std::string& model, const std::string& place) const;

  private:
    ModelFile file_;
    std::vector<Atomic> atomics_;
    std::vector<Reward> rewards_;
    std::string top_;
    std::vector<std::vector<std::string>> studyValues_;
    int experiments_ = 1;
    std::map<std::string, const AtomicDecl*> atomicByName_;
    std::map<std::string, const JoinDecl*> joinByName_;
    // The atomic models the top model contains (their instances carry these names).
    std::map<std::string, const AtomicDecl*> submodels_;

    // Refuses names the generated C++ cannot carry: keywords, and names of the
    // standard headers, of the framework and of the generated code itself.
    void CheckNames() const;
    void CheckGlobals();
    void CheckStudy();
    void CheckAtomic(const AtomicDecl& atomic);
    // Refuses a place or an activity of the model called as a function in one of the
    // activity's expressions (one named after a helper or a library function).
    void CheckCalls(const AtomicDecl& atomic, const ActivityDecl& activity) const;
    void CheckJoins();
    void FindTop();
    void CheckRewards();
    // Refuses a place of a submodel named in a reward fragment without the submodel,
    // naming the qualified names that would be meant, and a call of a name that
    // `members`, the submodels the fragment's class holds, hides.
    void CheckUnqualifiedPlaces(const RewardDecl& r, const Fragment& f,
                                const std::vector<std::string>& members) const;
    std::vector<std::string> PlacesOf(const std::string& model) const;
    // The initial marking of a place of a model as written, blanks removed ("0" when
    // none is given); a join's shared place starts as its first member does.
    std::string InitialOf(const std::string& model, const std::string& place) const;
    // The "submodel.place" references of a reward fragment, in order.
    std::vector<std::pair<Name, Name>> References(const Fragment& f) const;
};

#endif
