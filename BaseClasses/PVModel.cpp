#include "BaseClasses/PVModel.h"

#include "BaseClasses/FastSet.h"
#include "BaseClasses/ImpulseNodeClass.h"
#include "BaseClasses/List.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/StandardErrors.h"
#include "BaseClasses/state/BaseStateVariableClass.h"

#include <cassert>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <new>

namespace {

template <class T> T* NewArray(int n) {
    if (n <= 0)
        return nullptr;
    T* a = new (std::nothrow) T[n]();
    if (a == nullptr)
        MemoryAllocationError();
    return a;
}

// Emptiness in either form: the sets are frozen while the affected lists are built.
bool SetIsEmpty(const FastSet& s) {
    return s.is_vec_rep ? s.size() == 0 : s.empty();
}

void FreezeRateSets(BaseActionClass* a, int numPVs) {
    for (int p = 0; p < numPVs; p++)
        a->PVRateDS[p].NoMoreModifications();
    a->AffectedNodesByRateReward.NoMoreModifications();
}

void FreezeImpulseSets(BaseActionClass* a, int numPVs) {
    for (int p = 0; p < numPVs; p++)
        a->PVImpulseDS[p].NoMoreModifications();
    a->AffectedNodesByImpulseReward.NoMoreModifications();
}

} // namespace

PVModel::PVModel()
    : PVNodes(nullptr), NumPVs(0), TopModel(nullptr), LastFiredAction(nullptr),
      ModelActions(nullptr), MaxStopTime(0.0), AffectingActions(nullptr),
      AffectingActionNodes(nullptr), NumRateDSActions(0), NumImpulseDSActions(0),
      NumAffectingActions(0), ModelStateSize(0), TotalStateSize(0) {
    NoActionFired.defineName("No Action Fired Yet");
    LastFiredAction = &NoActionFired;
    BaseModelClass::LastActionTime = 0.0;
}

PVModel::~PVModel() {
    Destruct();
}

// ---- The top-level model answers for the reward model ----

void PVModel::listModels(const char* name, List<BaseModelClass>* l) {
    TopModel->listModels(name, l);
}

void PVModel::CurrentState(void* p) {
    TopModel->CurrentState(p);
}

void PVModel::listActions(List<BaseActionClass>* l) {
    l->append(ModelActions, NumActions);
}

void PVModel::listGroups(List<BaseGroupClass>* l) {
    l->append(Groups, NumGroups);
}

void PVModel::SetState(void* p) {
    TopModel->SetState(p);
}

int PVModel::StateSize() {
    return TotalStateSize;
}

bool PVModel::CompareState(void* a, void* b) {
    return TopModel->CompareState(a, b);
}

void PVModel::listActions(const char* name, List<BaseActionClass>* l) {
    TopModel->listActions(name, l);
}

void PVModel::listSVs(const char* modelName, const char* varName,
                      List<BaseStateVariableClass>* vars, List<BaseModelClass>* models) {
    TopModel->listSVs(modelName, varName, vars, models);
}

void PVModel::printState(std::ostream* out) {
    TopModel->printState(out);
}

// ---- Set-up ----

void PVModel::CreatePVList(int numPV, bool expandTimes) {
    int capacity = 100;
    PVNodes = NewArray<PerformanceVariableNode*>(capacity);
    int n = 0;
    for (int pv = 0; pv < numPV; pv++) {
        PerformanceVariableNode* node = createPVNode(pv, 0);
        // A number the generated model does not define yields no node.
        if (node == nullptr)
            continue;
        int d = node->GetNumTimePoints();
        if (n + d >= capacity) {
            int grown = 2 * (capacity + d);
            PerformanceVariableNode** a = NewArray<PerformanceVariableNode*>(grown);
            for (int k = 0; k < n; k++)
                a[k] = PVNodes[k];
            delete[] PVNodes;
            PVNodes = a;
            capacity = grown;
        }
        PVNodes[n++] = node;
        if (expandTimes && d > 1)
            for (int t = 1; t < d; t++)
                PVNodes[n++] = createPVNode(pv, t);
    }
    NumPVs = n;
}

void PVModel::Initialize() {
    NoActionFired.AllocatePVRateDS(NumPVs);
    NoActionFired.AllocatePVImpulseDS(NumPVs);
    FreezeRateSets(&NoActionFired, NumPVs);
    FreezeImpulseSets(&NoActionFired, NumPVs);

    NumSharedStateVariables = 0;
    Groups = TopModel->Groups;
    Actions = TopModel->Actions;
    NumActions = TopModel->NumActions;
    NumStateVariables = TopModel->NumStateVariables;
    NumGroups = TopModel->NumGroups;
    delete[] ModelActions;
    ModelActions = NewArray<BaseActionClass*>(NumActions);
    for (int k = 0; k < NumActions; k++)
        ModelActions[k] = Actions[k];

    for (int p = 0; p < NumPVs; p++)
        PVNodes[p]->FixReferences(TopModel);
    for (int p = 0; p < NumPVs; p++)
        if (PVNodes[p]->StopTime > MaxStopTime)
            MaxStopTime = PVNodes[p]->StopTime;

    MakeAffectedLists();
    MakeImpulseAffectedLists();
    CreateAffectedLists();

    ModelStateSize = TopModel->StateSize();
    TotalStateSize = ModelStateSize;
}

void PVModel::MakeAffectedLists() {
    for (int p = 0; p < NumPVs; p++) {
        PerformanceVariableNode* node = PVNodes[p];
        node->CreateModelGroupList();
        node->CreateWorkerList();
        node->FixWorkerList();
        for (int d = 0; d < node->NumVariableDependencies; d++) {
            List<BaseStateVariableClass> vars;
            List<BaseModelClass> models;
            TopModel->listSVs(node->VariableDependencies[d].ModelName,
                              node->VariableDependencies[d].VariableName, &vars, &models);
            int found = vars.getNumItems() < models.getNumItems() ? vars.getNumItems()
                                                                  : models.getNumItems();
            for (int v = 0; v < found; v++) {
                List<BaseActionClass>* affecting = vars[v]->getAffectingActions();
                int numAffecting = affecting != nullptr ? affecting->getNumItems() : 0;
                for (int k = 0; k < numAffecting; k++) {
                    BaseActionClass* a = affecting->getItem(k);
                    if (!a->IsPVRateDSAllocated()) {
                        a->AllocatePVRateDS(NumPVs);
                        NumRateDSActions++;
                    }
                    if (a->PVRateDS[p].empty()) {
                        bool fresh = !a->AffectedNodesByRateReward.find(p);
                        a->AffectedNodesByRateReward.insert(p);
                        assert(fresh && "Action->AffectedNodesByRateReward.insert(PVCounter)");
                        (void)fresh;
                        node->NumAffectingActions++;
                    }
                    node->AddPVWorkersToAction(a, models[v]);
                }
            }
        }
    }
    for (int k = 0; k < NumActions; k++) {
        BaseActionClass* a = Actions[k];
        if (!a->IsPVRateDSAllocated())
            a->AllocatePVRateDS(NumPVs);
        FreezeRateSets(a, NumPVs);
    }
}

void PVModel::MakeImpulseAffectedLists() {
    for (int p = 0; p < NumPVs; p++) {
        PerformanceVariableNode* node = PVNodes[p];
        node->CreateImpulseModelGroupList();
        node->CreateImpulseWorkerLists();
        node->FixImpulseWorkerLists();
        for (int i = 0; i < node->NumImpulses; i++) {
            List<BaseModelClass> instances;
            TopModel->listModels(node->ImpulseActions[i].ModelName, &instances);
            for (int m = 0; m < instances.getNumItems(); m++) {
                BaseModelClass* instance = instances[m];
                List<BaseActionClass> found;
                instance->listActions(node->ImpulseActions[i].ActionName, &found);
                if (found.getNumItems() == 0)
                    continue;
                BaseActionClass* a = found[0];
                if (!a->IsPVImpulseDSAllocated()) {
                    a->AllocatePVImpulseDS(NumPVs);
                    NumImpulseDSActions++;
                }
                if (a->PVImpulseDS[p].empty()) {
                    a->AffectedNodesByImpulseReward.insert(p);
                    node->NumAffectingActions++;
                    a->ImpulseWorkerLists[p] = NewArray<int*>(node->NumImpulses);
                    a->ImpulseWorkerCounts[p] = NewArray<int>(node->NumImpulses);
                }
                if (a->ImpulseWorkerLists[p][i] == nullptr) {
                    a->PVImpulseDS[p].insert(i);
                    // At least one slot, so that "exists" never depends on the count.
                    int room = node->ImpulseWorkerCount[i] > 0 ? node->ImpulseWorkerCount[i] : 1;
                    a->ImpulseWorkerLists[p][i] = NewArray<int>(room);
                }
                for (int w = 0; w < node->ImpulseWorkerCount[i]; w++)
                    if (node->ImpulseWorkers[i][w]->ActionModel == instance)
                        a->ImpulseWorkerLists[p][i][a->ImpulseWorkerCounts[p][i]++] = w;
            }
        }
    }
    for (int k = 0; k < NumActions; k++) {
        BaseActionClass* a = Actions[k];
        if (!a->IsPVImpulseDSAllocated())
            a->AllocatePVImpulseDS(NumPVs);
        FreezeImpulseSets(a, NumPVs);
    }
}

void PVModel::CreateAffectedLists() {
    for (int p = 0; p < NumPVs; p++) {
        PerformanceVariableNode* node = PVNodes[p];
        if (node->NumAffectingActions != 0) {
            delete[] node->AffectingActionList;
            node->AffectingActionList = NewArray<BaseActionClass*>(node->NumAffectingActions);
            node->NumAffectingActions = 0;
        }
    }
    int room = NumRateDSActions + NumImpulseDSActions;
    if (room == 0)
        return;
    AffectingActions = NewArray<BaseActionClass*>(room);
    AffectingActionNodes = NewArray<FastSet*>(room);
    for (int k = 0; k < NumActions; k++) {
        BaseActionClass* a = ModelActions[k];
        if (SetIsEmpty(a->AffectedNodesByRateReward) && SetIsEmpty(a->AffectedNodesByImpulseReward))
            continue;
        assert(a->AffectedNodes.empty() && "Action->AffectedNodes.empty()");
        for (int j = 0; j < a->AffectedNodesByRateReward.size(); j++)
            a->AffectedNodes.insert(a->AffectedNodesByRateReward[j]);
        for (int j = 0; j < a->AffectedNodesByImpulseReward.size(); j++)
            a->AffectedNodes.insert(a->AffectedNodesByImpulseReward[j]);
        a->AffectedNodes.NoMoreModifications();
        AffectingActions[NumAffectingActions] = a;
        AffectingActionNodes[NumAffectingActions] = &a->AffectedNodes;
        NumAffectingActions++;
        for (int j = 0; j < a->AffectedNodes.size(); j++) {
            PerformanceVariableNode* node = PVNodes[a->AffectedNodes[j]];
            node->AffectingActionList[node->NumAffectingActions++] = a;
        }
    }
}

void PVModel::ConsiderOnly(int* which, int count) {
    if (which == nullptr) {
        for (int p = 0; p < NumPVs; p++)
            ConsideredPVs.push_back(PVNodes[p]);
        return;
    }
    for (int k = 0; k < count; k++)
        ConsideredPVs.push_back(PVNodes[which[k]]);
}

// ---- Exploration ----

// On the generator's hot path: no allocation.
void PVModel::FireAction(void* buf, BaseActionClass* a) {
    a->Fire();
    LastFiredAction = a;
    for (PerformanceVariableNode* node : ConsideredPVs)
        node->CurrentReward(a);
    TopModel->CurrentState(buf);
}

void PVModel::AgeAction(char* /*state*/, BaseActionClass* /*a*/) {
    LastFiredAction = &NoActionFired;
    for (PerformanceVariableNode* node : ConsideredPVs)
        node->CurrentReward(&NoActionFired);
}

void PVModel::WritePVTypeFile(char* fileName) {
    std::ofstream out(fileName, std::ios::out | std::ios::trunc | std::ios::binary);
    if (out) {
        out << "Version:1\n";
        out << "NumPV:" << NumPVs << "\n";
        for (int p = 0; p < NumPVs; p++) {
            PerformanceVariableNode* node = PVNodes[p];
            out << "Name:" << node->Name << "\n";
            out << "Type:" << static_cast<int>(node->GetRewardType()) << "\n";
            out << "NumTimes:" << node->GetNumTimePoints() << "\n";
            for (int j = 0; j < node->GetNumTimePoints(); j++) {
                out << "Start:" << node->GetStartTime(j) << "\n";
                out << "Stop:" << node->GetStopTime(j) << "\n";
            }
        }
        out.close();
    }
    // A missing type file must not pass for a successful run.
    if (!out)
        Fatal(std::cerr, std::string("Error: Could not write PV type file ") + fileName + "\n");
}

void PVModel::Destruct() {
    NoActionFired.DeallocatePVRateDS();
    NoActionFired.DeallocatePVImpulseDS();
    NoActionFired.PVRateDS = nullptr;
    NoActionFired.PVImpulseDS = nullptr;
    NoActionFired.ImpulseWorkerLists = nullptr;
    NoActionFired.ImpulseWorkerCounts = nullptr;

    for (int k = 0; k < NumActions && ModelActions != nullptr; k++) {
        BaseActionClass* a = ModelActions[k];
        a->DeallocatePVRateDS();
        a->PVRateDS = nullptr;
        if (!a->IsPVImpulseDSAllocated())
            continue;
        for (int p = 0; p < NumPVs; p++) {
            delete[] a->ImpulseWorkerCounts[p];
            if (a->ImpulseWorkerLists[p] == nullptr)
                continue;
            for (int i = 0; i < PVNodes[p]->NumImpulses; i++)
                delete[] a->ImpulseWorkerLists[p][i];
            delete[] a->ImpulseWorkerLists[p];
        }
        a->DeallocatePVImpulseDS();
        a->PVImpulseDS = nullptr;
        a->ImpulseWorkerLists = nullptr;
        a->ImpulseWorkerCounts = nullptr;
    }
    delete[] ModelActions;
    ModelActions = nullptr;

    for (int p = 0; p < NumPVs; p++) {
        delete[] PVNodes[p]->AffectingActionList;
        PVNodes[p]->AffectingActionList = nullptr;
    }
    delete[] AffectingActions;
    delete[] AffectingActionNodes;
    AffectingActions = nullptr;
    AffectingActionNodes = nullptr;
    NumAffectingActions = 0;

    for (int p = 0; p < NumPVs; p++)
        delete PVNodes[p];
    delete[] PVNodes;
    PVNodes = nullptr;
    NumPVs = 0;
    ConsideredPVs.clear();
    delete TopModel;
    TopModel = nullptr;
    // The action and group arrays were the top-level model's.
    Actions = nullptr;
    Groups = nullptr;
    NumActions = NumGroups = 0;
}

// ---- Execution along a time axis ----

void PVModel::FireAction(BaseActionClass* a, double time) {
    BaseModelClass::LastActionTime = time;
    LastFiredAction = a->Fire();
}

void PVModel::Accumulate(double time) {
    for (PerformanceVariableNode* node : ConsideredPVs)
        node->Accumulate(time, BaseModelClass::LastActionTime, LastFiredAction);
}

void PVModel::EndAccumulate(double time) {
    for (PerformanceVariableNode* node : ConsideredPVs)
        if (node->AccumulationState != 2)
            node->EndAccumulate(time, BaseModelClass::LastActionTime, LastFiredAction);
}

void PVModel::PVReset() {
    for (int p = 0; p < NumPVs; p++)
        if (PVNodes[p]->AccumulationState == 1 || PVNodes[p]->AccumulationState == 2)
            PVNodes[p]->Reset();
    LastFiredAction = &NoActionFired;
    BaseModelClass::LastActionTime = 0.0;
}

void PVModel::SteadyState() {
    PVReset();
}
