#ifndef BASEGROUPCLASS_H
#define BASEGROUPCLASS_H

#include "BaseClasses/BaseActionClass.h"

// Actions that exclude one another (the cases of an activity, or competing
// instantaneous activities). A group is itself an action, so groups can nest.
// Probability(a) is the chance that member a (or the member containing a) fires
// when the group fires: highest rank among the enabled members first, then weight.
class BaseGroupClass : public BaseActionClass {
  public:
    struct WeightEntry {
        double CumulativeWeight;
        BaseActionClass* Member;
    };

    BaseActionClass** Members;
    BaseActionClass* SelectedAction;
    WeightEntry* WeightTable;
    int CurrentRank;
    int NumMembers;
    int NumWeightEntries;
    int MaxMembers;

    BaseGroupClass();
    ~BaseGroupClass() override;

    bool Enabled() override;
    double Weight() override;
    double Rate() override;
    bool ReactivationPredicate() override;
    bool ReactivationFunction() override;
    double SampleDistribution() override;
    BaseActionClass* Fire() override;
    int Rank() override;
    bool EnablingChange() override;
    bool IsAMember(BaseActionClass* a) override;
    double Probability(BaseActionClass* a) override;
    void printEnablingState(std::ostream* s) override;
    BaseActionClass* getPrintedAction() override;
    // Slots added after the action slots.
    virtual bool SelectAction();
    virtual void setGroupId(int id);

    void BaseGroupClassInitialize(const char* name, int group, Distribution dist,
                                  ExecutionPolicyType policy, int affected, int enabling,
                                  bool reactivation);
    void initialize(int n, const char* name);
    void appendGroup(BaseGroupClass* a);
    void appendMembers(BaseGroupClass* g);
    void setMember(BaseGroupClass* a, int i);
    void enlargeArrays(int n);
    void replaceMember(BaseActionClass* oldA, BaseActionClass* newA);
    void Check() {}
    // Total weight of the members among which the choice is made, or -1.0 when no
    // member is enabled.
    double CalculateWeightDistribution();
    void PrintInfo();
    void printGroup();
    void printGroup(const char* prefix, int indent);
};

#endif
