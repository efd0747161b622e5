#include "BaseClasses/PerformanceVariableNode.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseModelClass.h"
#include "BaseClasses/ImpulseNodeClass.h"
#include "BaseClasses/List.h"
#include "BaseClasses/PerformanceVariableWorker.h"
#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/StandardErrors.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

int PerformanceVariableNode::the_id = 0;

namespace {

// Value-initialised array of n entries (null for n <= 0); out of memory ends the run.
template <class T> T* NewArray(int n) {
    if (n <= 0)
        return nullptr;
    T* a = new (std::nothrow) T[n]();
    if (a == nullptr)
        MemoryAllocationError();
    return a;
}

// Copies the n first entries of `old` into a new array of newSize (rest zeroed).
template <class T> T* Regrow(T* old, int n, int newSize) {
    T* a = NewArray<T>(newSize);
    for (int i = 0; i < n; i++)
        a[i] = old[i];
    delete[] old;
    return a;
}

char* CopyName(const char* s) {
    if (s == nullptr)
        s = "";
    char* copy = NewArray<char>(static_cast<int>(std::strlen(s)) + 1);
    std::strcpy(copy, s);
    return copy;
}

bool Contains(char** names, int n, const char* name) {
    for (int i = 0; i < n; i++)
        if (std::strcmp(names[i], name) == 0)
            return true;
    return false;
}

// A set is read in whichever form it is in: the reward code runs on frozen sets,
// tests and set-up may ask before freezing.
bool SetHas(FastSet& set, int v) {
    if (!set.is_vec_rep)
        return set.find(v);
    int lo = 0, hi = set.size() - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        if (set[mid] == v)
            return true;
        if (set[mid] < v)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return false;
}

// The instances of the named model in the composed model, in look-up order.
void ListInstances(BaseModelClass* top, const char* name, List<BaseModelClass>* out) {
    if (top != nullptr)
        top->listModels(name, out);
}

[[noreturn]] void NoInstanceError(const char* model, BaseModelClass* top) {
    // exact texts, matched by the front end (double blanks, "\n." included); the
    // model cannot be built, so the run has failed
    std::string text = std::string("Number of ") + model + "'s was 0.  Model cannot be created.\n";
    if (top != nullptr && top->Name != nullptr)
        text += std::string("Model Name was: ") + top->Name + "\n.";
    else
        text += "Model Name was: NULL\n";
    Fatal(std::cerr, text);
}

} // namespace

PerformanceVariableNode::PerformanceVariableNode()
    : TopModelRef(nullptr), Name(nullptr), RateValue(0.0), RateSquare(0.0), StartTime(-1.0),
      StopTime(-1.0), NumTimePoints(0), StartTimes(nullptr), StopTimes(nullptr), ImpulseValue(0.0),
      ImpulseSquare(0.0), IntervalLength(0.0), Type(InstantOfTimeReward), AccumulationState(0),
      ID(0), AffectingActionList(nullptr), NumAffectingActions(0), ModelGroups(nullptr),
      NumWorkers(0), Workers(nullptr), VariableDependencies(nullptr), NumVariableDependencies(0),
      NumImpulses(0), ImpulseCapacity(0), ImpulseModelDepCounts(nullptr),
      ImpulseWorkerCount(nullptr), ActionModelInstances(nullptr), Impulses(nullptr),
      ImpulseWorkers(nullptr), ImpulseActions(nullptr), ImpulseModelDeps(nullptr),
      ImpulseModelGroups(nullptr), ModelDependencies(nullptr), NumModelDependencies(0),
      ModelDependencyCapacity(0), VariableDependencyCapacity(0), ImpulseModelDepCapacity(nullptr),
      TopModel(nullptr) {}

PerformanceVariableNode::~PerformanceVariableNode() {
    delete[] VariableDependencies;
    delete[] ModelGroups;
    for (int i = 0; i < NumModelDependencies; i++)
        delete[] ModelDependencies[i];
    delete[] ModelDependencies;
    FreeImpulseTables();
    delete[] Workers;
    delete[] AffectingActionList;
    delete[] Name;
    delete[] StartTimes;
    delete[] StopTimes;
}

void PerformanceVariableNode::FreeImpulseTables() {
    for (int i = 0; i < NumImpulses; i++) {
        if (ImpulseModelDeps[i] != nullptr) {
            for (int l = 0; l < ImpulseModelDepCounts[i]; l++)
                delete[] ImpulseModelDeps[i][l];
            delete[] ImpulseModelDeps[i];
        }
        delete[] ImpulseModelGroups[i];
        if (ImpulseWorkers[i] != nullptr) {
            for (int k = 0; k < ImpulseWorkerCount[i]; k++)
                delete ImpulseWorkers[i][k];
            delete[] ImpulseWorkers[i];
        }
    }
    delete[] ImpulseModelDepCounts;
    delete[] ImpulseModelDepCapacity;
    delete[] ImpulseWorkerCount;
    delete[] ActionModelInstances;
    delete[] Impulses;
    delete[] ImpulseWorkers;
    delete[] ImpulseActions;
    delete[] ImpulseModelDeps;
    delete[] ImpulseModelGroups;
}

bool PerformanceVariableNode::ConditionHolds() {
    return false;
}

void PerformanceVariableNode::Reset() {
    RateValue = RateSquare = ImpulseValue = ImpulseSquare = 0.0;
    AccumulationState = 0;
    for (int k = 0; k < NumWorkers; k++)
        if (Workers != nullptr && Workers[k] != nullptr)
            Workers[k]->Reset();
    for (int i = 0; i < NumImpulses; i++)
        if (ImpulseWorkers[i] != nullptr)
            for (int k = 0; k < ImpulseWorkerCount[i]; k++)
                ImpulseWorkers[i][k]->ImpulseReset();
}

void PerformanceVariableNode::Initialize(char const* name, RewardType type, int numTimes,
                                         double* starts, double* stops, int timeIndex,
                                         int numImpulses, int numModelDeps, int numVarDeps) {
    ID = the_id++;
    Type = type;
    InitializeTimeArrays(numTimes, starts, stops);
    // A time index outside the list leaves the node without a time point (-1).
    if (timeIndex >= 0 && timeIndex < numTimes) {
        StartTime = starts[timeIndex];
        StopTime = stops[timeIndex];
    }
    IntervalLength = StopTime - StartTime;
    delete[] Name;
    Name = CopyName(name);
    if (numVarDeps > 0) {
        VariableDependencies = NewArray<VarModelPairClass>(numVarDeps);
        VariableDependencyCapacity = numVarDeps;
    }
    if (numModelDeps > 0) {
        ModelDependencies = NewArray<char*>(numModelDeps);
        ModelDependencyCapacity = numModelDeps;
    }
    if (numImpulses > 0) {
        ImpulseModelDepCounts = NewArray<int>(numImpulses);
        ImpulseModelDepCapacity = NewArray<int>(numImpulses);
        ImpulseWorkerCount = NewArray<int>(numImpulses);
        ActionModelInstances = NewArray<int>(numImpulses);
        Impulses = NewArray<ImpulseNodeClass*>(numImpulses);
        ImpulseWorkers = NewArray<ImpulseNodeClass**>(numImpulses);
        ImpulseActions = NewArray<ActionModelPairClass>(numImpulses);
        ImpulseModelDeps = NewArray<char**>(numImpulses);
        ImpulseModelGroups = NewArray<ModelGroupClass*>(numImpulses);
        ImpulseCapacity = numImpulses;
    }
}

void PerformanceVariableNode::InitializeTimeArrays(int n, double* starts, double* stops) {
    delete[] StartTimes;
    delete[] StopTimes;
    NumTimePoints = n;
    StartTimes = NewArray<double>(n);
    StopTimes = NewArray<double>(n);
    for (int j = 0; j < n; j++) {
        StartTimes[j] = starts[j];
        StopTimes[j] = stops[j];
    }
}

void PerformanceVariableNode::GrowModelDependencies() {
    int room = ModelDependencyCapacity > 0 ? 2 * ModelDependencyCapacity : 1;
    ModelDependencies = Regrow(ModelDependencies, NumModelDependencies, room);
    ModelDependencyCapacity = room;
}

void PerformanceVariableNode::GrowVariableDependencies() {
    int room = VariableDependencyCapacity > 0 ? 2 * VariableDependencyCapacity : 1;
    VarModelPairClass* grown = NewArray<VarModelPairClass>(room);
    for (int i = 0; i < NumVariableDependencies; i++) {
        grown[i].ModelName = VariableDependencies[i].ModelName;
        grown[i].VariableName = VariableDependencies[i].VariableName;
        VariableDependencies[i].ModelName = VariableDependencies[i].VariableName = nullptr;
    }
    delete[] VariableDependencies;
    VariableDependencies = grown;
    VariableDependencyCapacity = room;
}

void PerformanceVariableNode::AddVariableDependency(const char* variable, const char* model) {
    if (NumVariableDependencies >= VariableDependencyCapacity)
        GrowVariableDependencies();
    VariableDependencies[NumVariableDependencies++].SetPair(variable, model);
    AddModelDependency(model);
}

void PerformanceVariableNode::AddModelDependency(const char* model) {
    if (IsDependentOnModel(model))
        return;
    if (NumModelDependencies >= ModelDependencyCapacity)
        GrowModelDependencies();
    ModelDependencies[NumModelDependencies++] = CopyName(model);
}

bool PerformanceVariableNode::IsDependentOnModel(const char* model) {
    return Contains(ModelDependencies, NumModelDependencies, model);
}

void PerformanceVariableNode::FixReferences(BaseModelClass* top) {
    TopModel = top;
    if (TopModelRef != nullptr)
        *TopModelRef = top;
    NumWorkers = 0;
    if (NumModelDependencies > 0) {
        NumWorkers = 1;
        for (int i = 0; i < NumModelDependencies; i++) {
            List<BaseModelClass> instances;
            ListInstances(TopModel, ModelDependencies[i], &instances);
            NumWorkers *= instances.getNumItems();
        }
    }
    GetNumberOfImpulseWorkers();
    delete[] Workers;
    Workers = NewArray<PerformanceVariableWorker*>(NumWorkers);
}

void PerformanceVariableNode::CreateModelGroupList() {
    delete[] ModelGroups;
    ModelGroups = NewArray<ModelGroupClass>(NumWorkers);
    for (int j = 0; j < NumWorkers; j++)
        ModelGroups[j].CreateModelList(NumModelDependencies);
    // Worker j reads combination j, the first dependency varying slowest.
    int c = NumWorkers;
    for (int i = 0; i < NumModelDependencies; i++) {
        List<BaseModelClass> instances;
        ListInstances(TopModel, ModelDependencies[i], &instances);
        int n = instances.getNumItems();
        if (n == 0)
            NoInstanceError(ModelDependencies[i], TopModel);
        c /= n;
        int a = -1;
        for (int j = 0; j < NumWorkers; j++) {
            if (j % c == 0 && ++a == n)
                a = 0;
            ModelGroups[j].SetModel(i, instances[a]);
        }
    }
}

void PerformanceVariableNode::FixWorkerList() {
    for (int i = 0; i < NumWorkers; i++) {
        PerformanceVariableWorker* w = Workers[i];
        assert(w != nullptr && "CreateWorkerList must create NumWorkers workers");
        assert(w->NumModelSlots >= NumModelDependencies && "one model slot per dependency");
        w->StartTime = StartTime;
        w->StopTime = StopTime;
        w->DefineName(Name, i);
        w->PVID = ID;
        for (int j = 0; j < NumModelDependencies; j++)
            *w->ModelSlots[j] = ModelGroups[i].Models[j];
    }
}

void PerformanceVariableNode::AddPVWorkersToAction(BaseActionClass* a, BaseModelClass* instance) {
    for (int i = 0; i < NumWorkers; i++)
        if (ModelGroups[i].IsDependentOnModel(instance))
            a->PVRateDS[ID].insert(i);
}

void PerformanceVariableNode::DefineName(const char* name) {
    for (int i = 0; i < NumWorkers; i++)
        if (Workers != nullptr && Workers[i] != nullptr)
            Workers[i]->DefineName(name, i);
    for (int i = 0; i < NumImpulses; i++)
        if (ImpulseWorkers[i] != nullptr)
            for (int k = 0; k < ImpulseWorkerCount[i]; k++)
                ImpulseWorkers[i][k]->DefineName(name, i, k);
}

template <class F>
void PerformanceVariableNode::ForEachListedImpulseWorker(BaseActionClass* a, F f) {
    FastSet& impulses = a->PVImpulseDS[ID];
    int n = impulses.size();
    for (int k = 0; k < n; k++) {
        int i = impulses[k];
        const int* list = a->ImpulseWorkerLists[ID][i];
        int count = a->ImpulseWorkerCounts[ID][i];
        for (int w = 0; w < count; w++)
            f(ImpulseWorkers[i][list[w]]);
    }
}

// On the generator's hot path: runs once per node and firing, allocates nothing.
void PerformanceVariableNode::CurrentReward(BaseActionClass* a) {
    RateValue = 0.0;
    RateSquare = 0.0;
    for (int k = 0; k < NumWorkers; k++) {
        PerformanceVariableWorker* w = Workers[k];
        w->CurrentReward();
        RateValue += w->Value;
        RateSquare += w->ValueSquare;
    }
    ImpulseValue = 0.0;
    ImpulseSquare = 0.0;
    if (!ImpulseAffectedBy(a))
        return;
    ForEachListedImpulseWorker(a, [this](ImpulseNodeClass* w) {
        w->ImpulseCurrentReward();
        ImpulseValue += w->Value;
        ImpulseSquare += w->ValueSquare;
    });
}

// No action of this system synchronises (isSync() is false), so membership in the
// action's own set decides.
bool PerformanceVariableNode::ImpulseAffectedBy(BaseActionClass* a) {
    if (a == nullptr)
        return false;
    return SetHas(a->AffectedNodesByImpulseReward, ID);
}

// ---- Impulse rewards ----

void PerformanceVariableNode::GrowImpulses() {
    int room = ImpulseCapacity > 0 ? 2 * ImpulseCapacity : 1;
    int n = NumImpulses;
    ImpulseModelDepCounts = Regrow(ImpulseModelDepCounts, n, room);
    ImpulseModelDepCapacity = Regrow(ImpulseModelDepCapacity, n, room);
    ImpulseWorkerCount = Regrow(ImpulseWorkerCount, n, room);
    ActionModelInstances = Regrow(ActionModelInstances, n, room);
    Impulses = Regrow(Impulses, n, room);
    ImpulseWorkers = Regrow(ImpulseWorkers, n, room);
    ImpulseModelDeps = Regrow(ImpulseModelDeps, n, room);
    ImpulseModelGroups = Regrow(ImpulseModelGroups, n, room);
    ActionModelPairClass* pairs = NewArray<ActionModelPairClass>(room);
    for (int i = 0; i < n; i++) {
        pairs[i].ModelName = ImpulseActions[i].ModelName;
        pairs[i].ActionName = ImpulseActions[i].ActionName;
        ImpulseActions[i].ModelName = ImpulseActions[i].ActionName = nullptr;
    }
    delete[] ImpulseActions;
    ImpulseActions = pairs;
    ImpulseCapacity = room;
}

void PerformanceVariableNode::GrowImpulseModelDeps(int i) {
    int room = ImpulseModelDepCapacity[i] > 0 ? 2 * ImpulseModelDepCapacity[i] : 1;
    ImpulseModelDeps[i] = Regrow(ImpulseModelDeps[i], ImpulseModelDepCounts[i], room);
    ImpulseModelDepCapacity[i] = room;
}

void PerformanceVariableNode::AddImpulse(const char* action, const char* model,
                                         ImpulseNodeClass* impulse) {
    int i = GetImpulseNumber(impulse);
    if (i < 0) {
        if (NumImpulses >= ImpulseCapacity)
            GrowImpulses();
        i = NumImpulses++;
        Impulses[i] = impulse;
        ImpulseModelDepCounts[i] = 0;
        ImpulseModelDepCapacity[i] = impulse->NumModelSlots;
        ImpulseModelDeps[i] = NewArray<char*>(impulse->NumModelSlots);
    }
    ImpulseActions[i].SetPair(action, model);
    AddImpulseModelDependency(model, impulse);
}

void PerformanceVariableNode::AddImpulseModelDependency(const char* model,
                                                        ImpulseNodeClass* impulse) {
    int i = GetImpulseNumber(impulse);
    if (i < 0) {
        // exact text, matched by callers (double blanks included); a failed run
        Fatal(std::cerr, "Model Dependency requested on undefined impulse."
                         "  Check code generator.  Error code GP0001.\n");
    }
    if (!IsDependentOnImpulseModel(model, i))
        AddImpulseModelDependency(model, i);
}

void PerformanceVariableNode::AddImpulseModelDependency(const char* model, int i) {
    if (ImpulseModelDepCounts[i] >= ImpulseModelDepCapacity[i])
        GrowImpulseModelDeps(i);
    ImpulseModelDeps[i][ImpulseModelDepCounts[i]++] = CopyName(model);
}

void PerformanceVariableNode::AddImpulseActionDependency(const char* action, const char* model,
                                                         int i) {
    ImpulseActions[i].SetPair(action, model);
}

bool PerformanceVariableNode::IsDependentOnImpulseModel(const char* model, int i) {
    return Contains(ImpulseModelDeps[i], ImpulseModelDepCounts[i], model);
}

int PerformanceVariableNode::GetImpulseNumber(ImpulseNodeClass* impulse) {
    for (int i = 0; i < NumImpulses; i++)
        if (Impulses[i] == impulse)
            return i;
    return -1;
}

void PerformanceVariableNode::GetNumberOfImpulseWorkers() {
    for (int i = 0; i < NumImpulses; i++) {
        ImpulseWorkerCount[i] = 1;
        for (int l = 0; l < ImpulseModelDepCounts[i]; l++) {
            List<BaseModelClass> instances;
            ListInstances(TopModel, ImpulseModelDeps[i][l], &instances);
            ImpulseWorkerCount[i] *= instances.getNumItems();
        }
        List<BaseModelClass> actionInstances;
        ListInstances(TopModel, ImpulseActions[i].ModelName, &actionInstances);
        ActionModelInstances[i] = actionInstances.getNumItems();
        if (!IsDependentOnImpulseModel(ImpulseActions[i].ModelName, i))
            ImpulseWorkerCount[i] *= ActionModelInstances[i];
    }
}

void PerformanceVariableNode::CreateImpulseWorkerLists() {
    for (int i = 0; i < NumImpulses; i++) {
        if (ImpulseWorkers[i] != nullptr) {
            for (int k = 0; k < ImpulseWorkerCount[i]; k++)
                delete ImpulseWorkers[i][k];
            delete[] ImpulseWorkers[i];
        }
        ImpulseWorkers[i] = Impulses[i]->CreateWorkers(ImpulseWorkerCount[i]);
    }
}

// Impulse workers come in M blocks, one per instance of the action's model, so that
// a firing of the action in instance j evaluates only block j (its workers are the
// ones whose ActionModel is instance j). Inside block j:
//  - a dependency on the action's own model reads instance j itself, the instance
//    whose action fired;
//  - the other dependencies enumerate all their combinations over the block's
//    workers, the first of them varying slowest, as the rate workers do.
// With W workers the block size is W/M, which is exactly the number of those
// combinations (the action's model counts once, whether or not it is a dependency).
void PerformanceVariableNode::CreateImpulseModelGroupList() {
    for (int i = 0; i < NumImpulses; i++) {
        const int w = ImpulseWorkerCount[i];
        const int m = ActionModelInstances[i];
        const int deps = ImpulseModelDepCounts[i];
        const char* actionModel = ImpulseActions[i].ModelName;
        delete[] ImpulseModelGroups[i];
        ImpulseModelGroups[i] = NewArray<ModelGroupClass>(w);
        ModelGroupClass* groups = ImpulseModelGroups[i];
        for (int k = 0; k < w; k++)
            groups[k].CreateModelList(deps);
        if (m == 0)
            NoInstanceError(actionModel, TopModel);
        const int block = w / m;
        int stride = block;
        for (int l = 0; l < deps; l++) {
            List<BaseModelClass> instances;
            ListInstances(TopModel, ImpulseModelDeps[i][l], &instances);
            const int n = instances.getNumItems();
            if (n == 0)
                NoInstanceError(ImpulseModelDeps[i][l], TopModel);
            const bool own = std::strcmp(ImpulseModelDeps[i][l], actionModel) == 0;
            if (!own)
                stride /= n;
            for (int j = 0; j < m; j++)
                for (int r = 0; r < block; r++)
                    groups[j * block + r].SetModel(l, instances[own ? j : (r / stride) % n]);
        }
    }
}

void PerformanceVariableNode::FixImpulseWorkerLists() {
    for (int i = 0; i < NumImpulses; i++) {
        List<BaseModelClass> instances;
        ListInstances(TopModel, ImpulseActions[i].ModelName, &instances);
        const int m = instances.getNumItems();
        const int w = ImpulseWorkerCount[i];
        for (int j = 0; j < m; j++) {
            for (int k = j * w / m; k < (j + 1) * w / m; k++) {
                ImpulseNodeClass* worker = ImpulseWorkers[i][k];
                assert(worker->NumModelSlots >= ImpulseModelDepCounts[i] &&
                       "one model slot per impulse dependency");
                worker->StartTime = StartTime;
                worker->StopTime = StopTime;
                worker->PVID = ID;
                worker->DefineName(Name, i, k);
                worker->ActionModel = instances[j];
                for (int l = 0; l < ImpulseModelDepCounts[i]; l++)
                    *worker->ModelSlots[l] = ImpulseModelGroups[i][k].Models[l];
            }
        }
    }
}

// ---- Interval accumulation along a time axis ----

void PerformanceVariableNode::Accumulate(double now, double last, BaseActionClass* a) {
    if (AccumulationState == 2 || now < StartTime)
        return;
    CommonAccumulate(now, last, a);
    if (now > StopTime) {
        AccumulationState = 2;
        TotalAccumulation();
    } else {
        AccumulationState = 1;
    }
}

void PerformanceVariableNode::EndAccumulate(double now, double last, BaseActionClass* a) {
    if (AccumulationState == 2)
        return;
    CommonAccumulate(now, last, a);
    for (int i = 0; i < NumImpulses; i++)
        if (ImpulseWorkers[i] != nullptr)
            for (int k = 0; k < ImpulseWorkerCount[i]; k++)
                ImpulseWorkers[i][k]->ImpulseEndAccumulate(now);
    if (now + 1.0 > StopTime) {
        AccumulationState = 2;
        TotalAccumulation();
    } else {
        AccumulationState = 1;
    }
}

void PerformanceVariableNode::UpdateAccumulate(double t) {
    if (t > StopTime) {
        AccumulationState = 2;
        TotalAccumulation();
    } else {
        AccumulationState = 1;
    }
}

void PerformanceVariableNode::CommonAccumulate(double now, double last, BaseActionClass* a) {
    double s = 0.0;
    for (int k = 0; k < NumWorkers; k++) {
        Workers[k]->Accumulate(now, last);
        s += Workers[k]->Value;
    }
    if (Type != InstantOfTimeReward && NumWorkers > 0) {
        double w = Workers[0]->Weight;
        RateValue += s * w;
        RateSquare += w * s * s;
    }
    if (ImpulseAffectedBy(a))
        ForEachListedImpulseWorker(
            a, [now, last](ImpulseNodeClass* w) { w->ImpulseAccumulate(now, last); });
}

void PerformanceVariableNode::TotalAccumulation() {
    if (Type == InstantOfTimeReward && NumWorkers > 0) {
        double s = 0.0;
        for (int k = 0; k < NumWorkers; k++)
            s += Workers[k]->Value;
        double w = Workers[0]->Weight;
        RateValue += s * w;
        RateSquare += w * s * s;
    }
    ImpulseValue = 0.0;
    ImpulseSquare = 0.0;
    for (int i = 0; i < NumImpulses; i++) {
        if (ImpulseWorkers[i] == nullptr)
            continue;
        for (int k = 0; k < ImpulseWorkerCount[i]; k++) {
            double v = ImpulseWorkers[i][k]->Value;
            ImpulseValue += v;
            ImpulseSquare += v * v;
        }
    }
    RateValue += ImpulseValue;
    RateSquare += ImpulseSquare;
}
