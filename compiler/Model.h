#ifndef SANC_MODEL_H
#define SANC_MODEL_H

#include "compiler/Ast.h"

#include <functional>
#include <map>
#include <set>
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
    // Whether a model's expressions read the index of its replica, itself or in a
    // submodel: its class then takes the index when it is built.
    bool UsesReplica(const std::string& model) const { return replicaUsers_.count(model) > 0; }
    // Whether a join holds a submodel whose number of instances the study sets.
    static bool HasRuntimeCount(const JoinDecl& join);

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
    std::set<std::string> replicaUsers_;

    // Refuses names the generated C++ cannot carry: keywords, and names of the
    // standard headers, of the framework and of the generated code itself.
    void CheckNames() const;
    void CheckGlobals();
    void CheckStudy();
    void CheckAtomic(const AtomicDecl& atomic);
    // Refuses a place or an activity of the model called as a function in one of the
    // activity's expressions (one named after a helper or a library function).
    void CheckCalls(const AtomicDecl& atomic, const ActivityDecl& activity) const;
    // Refuses the index of an arc to an element of an array unless it is a whole
    // number within a size written as a number, or the index of the activity's family.
    void CheckElement(const AtomicDecl& atomic, const ActivityDecl& activity, const Arc& arc) const;
    void CheckJoins();
    // Refuses a number of instances that reads anything but global variables.
    void CheckCount(const JoinDecl& join, const ChildDecl& child) const;
    void FindReplicaUsers();
    void FindTop();
    void CheckRewards();
    // Refuses a place of a submodel named in a reward fragment without the submodel,
    // naming the qualified names that would be meant, and a call of a name that
    // `members`, the submodels the fragment's class holds, hides.
    void CheckUnqualifiedPlaces(const RewardDecl& r, const Fragment& f,
                                const std::vector<std::string>& members) const;
    std::vector<std::string> PlacesOf(const std::string& model) const;
    // How many instances of atomic model `atomic` model `within` holds; kSetByStudy
    // where a number of copies that the study sets multiplies them.
    static constexpr int kSetByStudy = -1;
    int InstancesOf(const std::string& within, const std::string& atomic) const;
    // An atomic model the top model holds exactly one instance of (the top model itself
    // where it is atomic); empty if every one is replicated.
    std::string SingleInstance() const;
    // Checks the condition of a reward variable of the kinds that watch one, and adds
    // the places it reads to the variable's dependencies; `check` resolves a
    // fragment's references.
    void CheckCondition(
        const RewardDecl& r, Reward& info,
        const std::function<void(const RewardDecl&, const Fragment&, std::vector<std::string>&,
                                 std::vector<std::pair<std::string, std::string>>*)>& check) const;
    // The initial marking of a place of a model as written, blanks removed ("0" when
    // none is given); a join's shared place starts as its first member does.
    std::string InitialOf(const std::string& model, const std::string& place) const;
    // The "submodel.place" references of a reward fragment, in order.
    std::vector<std::pair<Name, Name>> References(const Fragment& f) const;
};

#endif
