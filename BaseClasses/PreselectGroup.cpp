#include "BaseClasses/PreselectGroup.h"

PreselectGroup::PreselectGroup() : BaseGroupClass(), NeedsSelection(true) {}

PreselectGroup::PreselectGroup(int n) : BaseGroupClass(), NeedsSelection(true) {
    enlargeArrays(n);
    SelectedAction = nullptr;
    CurrentRank = 0;
    NumMembers = 0;
    NumWeightEntries = 0;
}

bool PreselectGroup::SelectAction() {
    bool selected = BaseGroupClass::SelectAction();
    NeedsSelection = !selected;
    return selected;
}

bool PreselectGroup::Enabled() {
    if (NeedsSelection)
        SelectAction();
    return BaseGroupClass::Enabled();
}

// The questions below are answered by the member chosen in advance; when no member
// could be chosen the neutral value is returned.
int PreselectGroup::Rank() {
    if (NeedsSelection)
        SelectAction();
    return SelectedAction ? SelectedAction->Rank() : 0;
}

double PreselectGroup::SampleDistribution() {
    if (NeedsSelection)
        SelectAction();
    return SelectedAction ? SelectedAction->SampleDistribution() : 0.0;
}

bool PreselectGroup::ReactivationPredicate() {
    if (NeedsSelection)
        SelectAction();
    return SelectedAction ? SelectedAction->ReactivationPredicate() : false;
}

bool PreselectGroup::ReactivationFunction() {
    if (NeedsSelection)
        SelectAction();
    return SelectedAction ? SelectedAction->ReactivationFunction() : false;
}

BaseActionClass* PreselectGroup::Fire() {
    NeedsSelection = true;
    // The selection is kept: the next question chooses anew.
    return SelectedAction ? SelectedAction->Fire() : nullptr;
}
