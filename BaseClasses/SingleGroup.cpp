#include "BaseClasses/SingleGroup.h"

#include "BaseClasses/StandardErrors.h"

#include <new>

SingleGroup::SingleGroup()
    : BaseGroupClass(), Action(nullptr), CurrentlyEnabled(0), PreviouslyEnabled(0) {
    // The one member slot mirrors Action, so that the inherited membership and
    // printing operations see the wrapped action.
    Members = new (std::nothrow) BaseActionClass*[1]();
    if (Members == nullptr)
        MemoryAllocationError();
    MaxMembers = 1;
    NumMembers = 1;
    CurrentRank = 0;
    SelectedAction = nullptr;
    WeightTable = nullptr;
}

void SingleGroup::SetAction(BaseActionClass* a) {
    Action = a;
    Members[0] = a;
    NumMembers = 1;
}

bool SingleGroup::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = Action->Enabled() ? 1 : 0;
    return CurrentlyEnabled != 0;
}

bool SingleGroup::EnablingChange() {
    return CurrentlyEnabled != PreviouslyEnabled;
}

double SingleGroup::Weight() {
    return Action->Weight();
}

double SingleGroup::Rate() {
    return Action->Rate();
}

int SingleGroup::Rank() {
    return Action->Rank();
}

double SingleGroup::SampleDistribution() {
    return Action->SampleDistribution();
}

bool SingleGroup::ReactivationPredicate() {
    return Action->ReactivationPredicate();
}

bool SingleGroup::ReactivationFunction() {
    return Action->ReactivationFunction();
}

BaseActionClass* SingleGroup::Fire() {
    return Action->Fire();
}

double SingleGroup::Probability(BaseActionClass* a) {
    return a == Action ? 1.0 : 0.0;
}

bool SingleGroup::SelectAction() {
    // A single group has nothing to choose; being asked is reported, then answered.
    InconsistantState();
    if (!Action->Enabled())
        return false;
    SelectedAction = Action;
    Action->Disabled = false;
    ExecutionPolicy = Action->ExecutionPolicy;
    Reactivation = Action->Reactivation;
    Disabled = false;
    return true;
}
