#include "BaseClasses/Activity.h"

#include "BaseClasses/state/BaseStateVariableClass.h"

Activity::Activity() : BaseGroupClass(), CurrentlyEnabled(false), PreviouslyEnabled(false) {
    Disabled = true;
    Reactivation = false;
    // An activity without cases is its own one-member group.
    SelectedAction = this;
}

Activity::Activity(const char* name, int group, Distribution dist, ExecutionPolicyType policy,
                   int affected, int enabling, bool reactivation)
    : Activity() {
    ActivityInitialize(name, group, dist, policy, affected, enabling, reactivation);
}

void Activity::ActivityInitialize(const char* name, int group, Distribution dist,
                                  ExecutionPolicyType policy, int affected, int enabling,
                                  bool reactivation) {
    BaseGroupClassInitialize(name, group, dist, policy, affected, enabling, reactivation);
}

bool Activity::EnablingChange() {
    // Enabled() shifts CurrentlyEnabled into PreviouslyEnabled before it evaluates.
    Enabled();
    return PreviouslyEnabled != CurrentlyEnabled;
}

double Activity::Probability(BaseActionClass* a) {
    return a == this ? 1.0 : 0.0;
}

bool Activity::SelectAction() {
    return Enabled();
}

void Activity::setGroupId(int id) {
    GroupID = id;
}

bool Activity::IsAnAffectingStateVariable(BaseStateVariableClass* v) {
    return AffectedSVs.contains(v);
}
