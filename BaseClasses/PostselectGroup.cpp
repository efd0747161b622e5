#include "BaseClasses/PostselectGroup.h"

#include "BaseClasses/StandardErrors.h"

#include <new>

PostselectGroup::PostselectGroup() : BaseGroupClass() {}

PostselectGroup::PostselectGroup(int n) : BaseGroupClass() {
    int size = n > 0 ? n : 0;
    // The caller fills the n slots with setMember().
    Members = new (std::nothrow) BaseActionClass*[size]();
    WeightTable = new (std::nothrow) WeightEntry[size];
    if (Members == nullptr || WeightTable == nullptr)
        MemoryAllocationError();
    NumMembers = size;
    MaxMembers = size;
    SelectedAction = nullptr;
    CurrentRank = 0;
    NumWeightEntries = 0;
}

BaseActionClass* PostselectGroup::Fire() {
    // Nothing is fired when no member is enabled.
    if (!SelectAction() || SelectedAction == nullptr)
        return nullptr;
    BaseActionClass* result = SelectedAction->Fire();
    SelectedAction = nullptr;
    return result;
}

// Distribution and reactivation are those of the first member: the cases of one
// activity share them.
double PostselectGroup::SampleDistribution() {
    return NumMembers > 0 ? Members[0]->SampleDistribution() : 0.0;
}

bool PostselectGroup::ReactivationPredicate() {
    return NumMembers > 0 ? Members[0]->ReactivationPredicate() : false;
}

bool PostselectGroup::ReactivationFunction() {
    return NumMembers > 0 ? Members[0]->ReactivationFunction() : false;
}

int PostselectGroup::Rank() {
    return 1;
}

double PostselectGroup::Weight() {
    return 1.0;
}
