#include "BaseClasses/BaseActionClass.h"

#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/StandardErrors.h"
#include "BaseClasses/state/BaseStateVariableClass.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

int BaseActionClass::MaxID = 0;

namespace {

char* CopyName(const char* name) {
    if (name == nullptr)
        name = "";
    char* copy = new (std::nothrow) char[std::strlen(name) + 1];
    if (copy == nullptr)
        MemoryAllocationError();
    std::strcpy(copy, name);
    return copy;
}

} // namespace

BaseActionClass::BaseActionClass()
    : GroupID(0), ExecutionPolicy(DefaultPolicy), Disabled(true), Reactivation(false),
      Name(CopyName("default")), Fired(false), DistributionType(Exponential), PVImpulseDS(nullptr),
      ImpulseWorkerLists(nullptr), ImpulseWorkerCounts(nullptr), PVRateDS(nullptr), Phase(1),
      ID(MaxID++) {}

BaseActionClass::BaseActionClass(const char* name, int group, Distribution dist,
                                 ExecutionPolicyType policy, int affected, int enabling,
                                 bool reactivation)
    : BaseActionClass() {
    BaseActionClassInitialize(name, group, dist, policy, affected, enabling, reactivation);
}

BaseActionClass::~BaseActionClass() {
    // The reward model normally frees these first; freeing clears the pointers, so
    // whatever is left is freed exactly once.
    DeallocatePVRateDS();
    DeallocatePVImpulseDS();
    delete[] Name;
}

bool BaseActionClass::isSync() {
    return false;
}
bool BaseActionClass::Enabled() {
    return false;
}
double BaseActionClass::Weight() {
    return 0.0;
}
double BaseActionClass::Rate() {
    return 0.0;
}
bool BaseActionClass::ReactivationPredicate() {
    return false;
}
bool BaseActionClass::ReactivationFunction() {
    return false;
}
double BaseActionClass::SampleDistribution() {
    return 0.0;
}
double* BaseActionClass::ReturnDistributionParameters() {
    return nullptr;
}
void BaseActionClass::SetFired(int f) {
    Fired = (f != 0);
}
BaseActionClass* BaseActionClass::Fire() {
    return nullptr;
}
int BaseActionClass::Rank() {
    return 0;
}
bool BaseActionClass::EnablingChange() {
    return false;
}
bool BaseActionClass::IsAMember(BaseActionClass* a) {
    return a == this;
}
double BaseActionClass::Probability(BaseActionClass*) {
    return 1.0;
}

void BaseActionClass::printAffectedState(std::ostream* s) {
    for (int i = 0; i < AffectedSVs.getNumItems(); i++)
        AffectedSVs.getItem(i)->printState(s);
}

void BaseActionClass::printEnablingState(std::ostream* s) {
    for (int i = 0; i < EnablingSVs.getNumItems(); i++)
        EnablingSVs.getItem(i)->printState(s);
}

BaseActionClass* BaseActionClass::getPrintedAction() {
    return this;
}
double BaseActionClass::ErlangParamM() {
    return 1.0;
}

void BaseActionClass::BaseActionClassInitialize(const char* name, int group, Distribution dist,
                                                ExecutionPolicyType policy, int, int,
                                                bool reactivation) {
    defineName(name);
    Reactivation = reactivation;
    GroupID = group;
    DistributionType = dist;
    ExecutionPolicy = policy;
}

void BaseActionClass::defineName(const char* name) {
    char* copy = CopyName(name);
    delete[] Name;
    Name = copy;
}

void BaseActionClass::PrintInfo() {
    std::cout << "********* " << Name << "**********" << std::endl;
    std::cout << std::endl;
    std::cout << "Enabled by:" << std::endl;
    for (int i = 0; i < EnablingSVs.getNumItems(); i++)
        std::cout << "           " << EnablingSVs.getItem(i)->getName() << std::endl;
    std::cout << "Affects:" << std::endl;
    for (int i = 0; i < AffectedSVs.getNumItems(); i++)
        std::cout << "           " << AffectedSVs.getItem(i)->getName() << std::endl;
    std::cout << "Group ID = " << GroupID << std::endl;
    std::cout << "Execution Policy = " << static_cast<int>(ExecutionPolicy) << std::endl;
    std::cout << "Disabled = " << (Disabled ? 1 : 0) << std::endl;
    std::cout << "Reactivation = " << (Reactivation ? 1 : 0) << std::endl;
    std::cout << "DistributionType = " << static_cast<int>(DistributionType) << std::endl;
}

void BaseActionClass::addEnablingSV(BaseStateVariableClass* v) {
    if (v->isLeafNode())
        EnablingSVs.append(v);
    else
        v->addSelfAsEnablingSVToAction(this);
}

void BaseActionClass::removeEnablingSV(BaseStateVariableClass* v) {
    if (v->isLeafNode())
        EnablingSVs.remove(v);
    else
        v->removeSelfFromEnablingSVOfAction(this);
}

void BaseActionClass::addAffectedSV(BaseStateVariableClass* v) {
    if (v->isLeafNode())
        AffectedSVs.append(v);
    else
        v->addSelfAsAffectedSVToAction(this);
}

void BaseActionClass::removeAffectedSV(BaseStateVariableClass* v) {
    if (v->isLeafNode())
        AffectedSVs.remove(v);
    else
        v->removeSelfFromAffectedSVOfAction(this);
}

void BaseActionClass::AllocatePVRateDS(int numPVs) {
    DeallocatePVRateDS();
    // Array new destroys the sets already built when a later one fails.
    PVRateDS = new (std::nothrow) FastSet[numPVs > 0 ? numPVs : 0];
    if (PVRateDS == nullptr)
        Fatal(std::cerr, "!! Memory allocation error in BaseActionClass::AllocatePVRateDS()\n");
}

void BaseActionClass::AllocatePVImpulseDS(int numPVs) {
    DeallocatePVImpulseDS();
    size_t n = static_cast<size_t>(numPVs > 0 ? numPVs : 0);
    PVImpulseDS = new (std::nothrow) FastSet[n];
    ImpulseWorkerLists = new (std::nothrow) int**[n]();
    ImpulseWorkerCounts = new (std::nothrow) int*[n]();
    if (PVImpulseDS == nullptr || ImpulseWorkerLists == nullptr || ImpulseWorkerCounts == nullptr) {
        DeallocatePVImpulseDS();
        Fatal(std::cerr, "!! Memory allocation error in BaseActionClass::AllocatePVImpulseDS()\n");
    }
}

void BaseActionClass::DeallocatePVRateDS() {
    if (PVRateDS != nullptr) {
        delete[] PVRateDS;
        PVRateDS = nullptr;
    }
}

void BaseActionClass::DeallocatePVImpulseDS() {
    if (PVImpulseDS != nullptr) {
        delete[] PVImpulseDS;
        PVImpulseDS = nullptr;
    }
    // The inner per-impulse arrays belong to the reward model, which frees them first.
    delete[] ImpulseWorkerLists;
    ImpulseWorkerLists = nullptr;
    delete[] ImpulseWorkerCounts;
    ImpulseWorkerCounts = nullptr;
}
