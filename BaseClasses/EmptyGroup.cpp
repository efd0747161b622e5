#include "BaseClasses/EmptyGroup.h"

#include "BaseClasses/StandardErrors.h"

EmptyGroup::EmptyGroup() : SingleGroup() {
    defineName("ImmediateGroup");
    GroupID = 0;
    NumMembers = 0;
    CurrentRank = 0;
    SelectedAction = nullptr;
    WeightTable = nullptr;
}

void EmptyGroup::SetAction(BaseActionClass*) {}

bool EmptyGroup::Enabled() {
    return false;
}

bool EmptyGroup::EnablingChange() {
    return false;
}

bool EmptyGroup::ReactivationPredicate() {
    return false;
}

bool EmptyGroup::ReactivationFunction() {
    return false;
}

double EmptyGroup::Weight() {
    return 0.0;
}

double EmptyGroup::Rate() {
    return 0.0;
}

double EmptyGroup::SampleDistribution() {
    return 0.0;
}

double EmptyGroup::Probability(BaseActionClass*) {
    return 0.0;
}

int EmptyGroup::Rank() {
    return 0;
}

BaseActionClass* EmptyGroup::Fire() {
    return nullptr;
}

bool EmptyGroup::SelectAction() {
    InconsistantState();
    return false;
}
