#include "BaseClasses/BaseGroupClass.h"

#include "BaseClasses/StandardErrors.h"
#include "BaseClasses/state/BaseStateVariableClass.h"
#include "distributions/UserDistributions.h"

#include <iostream>
#include <new>
#include <string>

namespace {

BaseActionClass** NewMemberArray(int n) {
    BaseActionClass** a = new (std::nothrow) BaseActionClass*[n > 0 ? n : 0]();
    if (a == nullptr)
        MemoryAllocationError();
    return a;
}

BaseGroupClass::WeightEntry* NewWeightTable(int n) {
    BaseGroupClass::WeightEntry* t = new (std::nothrow) BaseGroupClass::WeightEntry[n > 0 ? n : 0];
    if (t == nullptr)
        MemoryAllocationError();
    return t;
}

} // namespace

BaseGroupClass::BaseGroupClass()
    : BaseActionClass(), Members(nullptr), SelectedAction(nullptr), WeightTable(nullptr),
      CurrentRank(0), NumMembers(0), NumWeightEntries(0), MaxMembers(0) {}

BaseGroupClass::~BaseGroupClass() {
    delete[] Members;
    delete[] WeightTable;
}

void BaseGroupClass::BaseGroupClassInitialize(const char* name, int group, Distribution dist,
                                              ExecutionPolicyType policy, int affected,
                                              int enabling, bool reactivation) {
    BaseActionClassInitialize(name, group, dist, policy, affected, enabling, reactivation);
}

void BaseGroupClass::initialize(int n, const char* name) {
    delete[] Members;
    delete[] WeightTable;
    Members = NewMemberArray(n);
    WeightTable = NewWeightTable(n);
    MaxMembers = n;
    defineName(name);
    SelectedAction = nullptr;
    CurrentRank = 0;
    NumWeightEntries = 0;
}

void BaseGroupClass::appendGroup(BaseGroupClass* a) {
    if (NumMembers >= MaxMembers) {
        // Grows by exactly one: groups are built once, with their size known.
        BaseActionClass** grown = NewMemberArray(MaxMembers + 1);
        for (int i = 0; i < NumMembers; i++)
            grown[i] = Members[i];
        delete[] Members;
        Members = grown;
        delete[] WeightTable;
        WeightTable = NewWeightTable(MaxMembers + 1);
        MaxMembers++;
    }
    Members[NumMembers++] = a;
}

void BaseGroupClass::appendMembers(BaseGroupClass* g) {
    int total = NumMembers + g->NumMembers;
    if (total > MaxMembers)
        enlargeArrays(total);
    for (int i = 0; i < g->NumMembers; i++)
        Members[NumMembers++] = g->Members[i];
}

void BaseGroupClass::setMember(BaseGroupClass* a, int i) {
    if (i < 0 || i >= NumMembers) {
        static char where[] = "Array out of bounds (BaseGroupClass::setMember()";
        ArrayOutOfBoundsError(where);
        return;
    }
    Members[i] = a;
}

void BaseGroupClass::enlargeArrays(int n) {
    BaseActionClass** grown = NewMemberArray(n);
    // A capacity below the member count keeps the first n members.
    if (NumMembers > n)
        NumMembers = n > 0 ? n : 0;
    for (int i = 0; i < NumMembers; i++)
        grown[i] = Members[i];
    delete[] Members;
    Members = grown;
    delete[] WeightTable;
    WeightTable = NewWeightTable(n);
    MaxMembers = n;
}

void BaseGroupClass::replaceMember(BaseActionClass* oldA, BaseActionClass* newA) {
    if (SelectedAction == oldA)
        SelectedAction = newA;
    for (int i = 0; i < NumMembers; i++)
        if (Members[i] == oldA)
            Members[i] = newA;
}

bool BaseGroupClass::IsAMember(BaseActionClass* a) {
    for (int i = 0; i < NumMembers; i++)
        if (Members[i] == a)
            return true;
    return false;
}

void BaseGroupClass::setGroupId(int id) {
    for (int i = 0; i < NumMembers; i++) {
        BaseGroupClass* g = dynamic_cast<BaseGroupClass*>(Members[i]);
        if (g != nullptr)
            g->setGroupId(id);
        else if (Members[i] != nullptr)
            Members[i]->GroupID = id;
    }
}

bool BaseGroupClass::Enabled() {
    // Every member is asked, so that all members' enabling flags move together.
    bool any = false;
    for (int i = 0; i < NumMembers; i++)
        if (Members[i]->Enabled())
            any = true;
    return any;
}

bool BaseGroupClass::EnablingChange() {
    bool any = false;
    for (int i = 0; i < NumMembers; i++)
        if (Members[i]->EnablingChange())
            any = true;
    return any;
}

// The questions below go to the selected member; without one there is nothing
// to answer and the neutral value is returned.
double BaseGroupClass::Weight() {
    return SelectedAction ? SelectedAction->Weight() : 0.0;
}

double BaseGroupClass::Rate() {
    return SelectedAction ? SelectedAction->Rate() : 0.0;
}

int BaseGroupClass::Rank() {
    return SelectedAction ? SelectedAction->Rank() : 0;
}

double BaseGroupClass::SampleDistribution() {
    return SelectedAction ? SelectedAction->SampleDistribution() : 0.0;
}

BaseActionClass* BaseGroupClass::Fire() {
    if (SelectedAction == nullptr)
        return nullptr;
    BaseActionClass* result = SelectedAction->Fire();
    SelectedAction = nullptr;
    return result;
}

bool BaseGroupClass::ReactivationPredicate() {
    return false;
}

bool BaseGroupClass::ReactivationFunction() {
    return false;
}

BaseActionClass* BaseGroupClass::getPrintedAction() {
    return NumMembers > 0 ? Members[0] : this;
}

void BaseGroupClass::printEnablingState(std::ostream* s) {
    List<BaseStateVariableClass>& svs = NumMembers > 0 ? Members[0]->EnablingSVs : EnablingSVs;
    for (int i = 0; i < svs.getNumItems(); i++)
        svs.getItem(i)->printState(s);
}

double BaseGroupClass::Probability(BaseActionClass* a) {
    double total = 0.0;
    int maxRank = 0;
    BaseActionClass* owner = nullptr;
    for (int i = 0; i < NumMembers; i++) {
        BaseActionClass* m = Members[i];
        if (m->Enabled()) {
            int rank = m->Rank();
            if (rank > maxRank) {
                maxRank = rank;
                total = 0.0;
            }
            if (rank == maxRank)
                total += m->Weight();
        }
        if (m == a || m->IsAMember(a))
            owner = m;
    }
    if (owner == nullptr)
        return 0.0;
    if (owner->Rank() < maxRank)
        return 0.0;
    if (total == 0.0)
        std::cout << "BaseGroupClass::Probability() TotalWeight is zero.\n" << std::flush;
    double p = owner->Weight() / total;
    return p * owner->Probability(a);
}

double BaseGroupClass::CalculateWeightDistribution() {
    int i = 0;
    while (i < NumMembers && !Members[i]->Enabled()) {
        Members[i]->Disabled = true;
        i++;
    }
    if (i == NumMembers)
        return -1.0;

    BaseActionClass* first = Members[i];
    CurrentRank = first->Rank();
    first->Disabled = false;
    WeightTable[0].CumulativeWeight = first->Weight();
    WeightTable[0].Member = first;
    int k = 0;

    for (i++; i < NumMembers; i++) {
        BaseActionClass* m = Members[i];
        if (!m->Enabled()) {
            m->Disabled = true;
            continue;
        }
        int rank = m->Rank();
        if (rank < CurrentRank) {
            m->Disabled = true;
        } else if (rank > CurrentRank) {
            // Members entered before keep their flag as it was.
            CurrentRank = rank;
            WeightTable[0].CumulativeWeight = m->Weight();
            WeightTable[0].Member = m;
            k = 0;
            m->Disabled = false;
        } else {
            k++;
            m->Disabled = false;
            WeightTable[k].CumulativeWeight = WeightTable[k - 1].CumulativeWeight + m->Weight();
            WeightTable[k].Member = m;
        }
    }
    NumWeightEntries = k + 1;
    return WeightTable[k].CumulativeWeight;
}

bool BaseGroupClass::SelectAction() {
    double u = TheDistribution->generator->rnd();
    double total = CalculateWeightDistribution();
    // Tested on the total rather than on the product: a draw of 0 must not turn
    // "nothing enabled" (-1) into a valid point.
    if (total < 0.0)
        return false;
    double x = total * u;

    // The first entry whose cumulative weight exceeds x, or the last entry.
    int lo = 0;
    int hi = NumWeightEntries - 1;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (WeightTable[mid].CumulativeWeight > x)
            hi = mid;
        else
            lo = mid + 1;
    }
    BaseActionClass* chosen = WeightTable[lo].Member;
    BaseGroupClass* chosenGroup = dynamic_cast<BaseGroupClass*>(chosen);
    if (chosenGroup != nullptr) {
        chosenGroup->SelectAction();
        SelectedAction = chosenGroup->SelectedAction;
    } else {
        SelectedAction = chosen;
    }
    return true;
}

void BaseGroupClass::PrintInfo() {
    std::cout << "************ Group: " << Name << " ****************" << std::endl;
    std::cout << "Contains the following actions:" << std::endl;
    for (int i = 0; i < NumMembers; i++)
        std::cout << "  " << Members[i]->Name << std::endl;
    std::cout << "Selected Action = " << (SelectedAction ? SelectedAction->Name : "") << std::endl;
}

void BaseGroupClass::printGroup() {
    std::cout << "** Members of Group " << Name << std::endl;
    printGroup("", 0);
}

void BaseGroupClass::printGroup(const char* prefix, int indent) {
    for (int i = 0; i < NumMembers; i++) {
        std::cout << std::string(static_cast<size_t>(indent > 0 ? indent : 0), ' ') << "[" << prefix
                  << i << "] " << Members[i]->Name << std::endl;
        BaseGroupClass* g = dynamic_cast<BaseGroupClass*>(Members[i]);
        if (g != nullptr && g->NumMembers > 1) {
            std::string nested = std::string(prefix) + std::to_string(i) + ".";
            g->printGroup(nested.c_str(), indent + 2);
        }
    }
}
