#ifndef ACTIVITY_H
#define ACTIVITY_H

#include "BaseClasses/BaseGroupClass.h"

class BaseStateVariableClass;

// Base of every generated SAN activity. An activity without cases is its own
// one-member group and its own selected action. A generated activity overrides
// Enabled (shifting CurrentlyEnabled into PreviouslyEnabled first), Weight, Rate,
// ReactivationPredicate, ReactivationFunction, SampleDistribution,
// ReturnDistributionParameters, Fire, Rank and LinkVariables.
class Activity : public BaseGroupClass {
  public:
    bool CurrentlyEnabled;
    bool PreviouslyEnabled;

    Activity();
    Activity(const char* name, int group, Distribution dist, ExecutionPolicyType policy, int affected,
             int enabling, bool reactivation);

    bool EnablingChange() override;
    double Probability(BaseActionClass* a) override;
    bool SelectAction() override;
    void setGroupId(int id) override;
    // Binds the activity's cached marking pointers to its places.
    virtual void LinkVariables() = 0;

    void ActivityInitialize(const char* name, int group, Distribution dist,
                            ExecutionPolicyType policy, int affected, int enabling,
                            bool reactivation);
    bool IsAnAffectingStateVariable(BaseStateVariableClass* v);
};

#endif
