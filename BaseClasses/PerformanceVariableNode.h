#ifndef PERFORMANCEVARIABLENODE_H
#define PERFORMANCEVARIABLENODE_H

#include "BaseClasses/ActionModelPairClass.h"
#include "BaseClasses/ModelGroupClass.h"
#include "BaseClasses/VarModelPairClass.h"

class BaseActionClass;
class BaseModelClass;
class ImpulseNodeClass;
class PerformanceVariableWorker;

// The kind of a performance variable, written as this integer into the PV type file
// for the solver and the simulator: the expected rate reward at each time point, its
// integral over each [start, stop], that integral divided by stop - start, and its
// long-run value. The last three watch a condition on the marking instead of a
// clock: the reward earned until the condition first holds, the probability that it
// ever holds, and the probability that it holds by each time point (it is taken to
// stay reached once reached).
enum RewardType {
    InstantOfTimeReward = 0,
    IntervalOfTimeReward = 1,
    TimeAveragedIntervalOfTimeReward = 2,
    SteadyStateReward = 3,
    UntilConditionReward = 4,
    ReachConditionReward = 5,
    ReachWithinReward = 6
};

// Run-time object of one performance variable. Its rate reward in a state is the sum
// of its workers' values, one worker per combination of the submodel instances it
// depends on (first dependency varying slowest). Its impulse reward is what the last
// fired action earned, evaluated only by the impulse workers listed in that action.
//
// Ownership: the node owns its names, time arrays, dependency tables, model groups,
// the Workers array (not the workers: the generated subclass frees each worker's
// Name with delete[] and deletes the worker) and the impulse workers that the
// impulses' CreateWorkers made (deleted here). The registered impulse definitions
// belong to the generated subclass. The capacities given to Initialize are the
// initial room; the Add operations grow the tables when a generated class adds more.
//
// Set-up order (driven by PVModel::Initialize): FixReferences counts the workers;
// CreateModelGroupList, CreateWorkerList, FixWorkerList create and bind them;
// CreateImpulseModelGroupList, CreateImpulseWorkerLists, FixImpulseWorkerLists do
// the same for the impulse workers. A model dependency without any instance in the
// composed model ends the run (exit status 1: the model cannot be built).
class PerformanceVariableNode {
  public:
    static int the_id;

    BaseModelClass** TopModelRef;
    char* Name;
    double RateValue;
    double RateSquare;
    double StartTime;
    double StopTime;
    int NumTimePoints;
    double* StartTimes;
    double* StopTimes;
    double ImpulseValue;
    double ImpulseSquare;
    double IntervalLength;
    RewardType Type;
    int AccumulationState;
    int ID;
    BaseActionClass** AffectingActionList;
    int NumAffectingActions;
    ModelGroupClass* ModelGroups;
    int NumWorkers;
    PerformanceVariableWorker** Workers;
    VarModelPairClass* VariableDependencies;
    int NumVariableDependencies;

    // Impulse rewards, one entry per impulse (capacity given to Initialize).
    int NumImpulses;
    int ImpulseCapacity;
    int* ImpulseModelDepCounts;
    int* ImpulseWorkerCount;
    int* ActionModelInstances;
    ImpulseNodeClass** Impulses;
    ImpulseNodeClass*** ImpulseWorkers;
    ActionModelPairClass* ImpulseActions;
    char*** ImpulseModelDeps;
    ModelGroupClass** ImpulseModelGroups;

    char** ModelDependencies;
    int NumModelDependencies;
    int ModelDependencyCapacity;
    int VariableDependencyCapacity;
    // Room in ImpulseModelDeps[i]; starts at the impulse's NumModelSlots.
    int* ImpulseModelDepCapacity;
    // The composed model the instances are looked up in; set by FixReferences.
    BaseModelClass* TopModel;

    PerformanceVariableNode();
    PerformanceVariableNode(const PerformanceVariableNode&) = delete;
    PerformanceVariableNode& operator=(const PerformanceVariableNode&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~PerformanceVariableNode();
    virtual void CreateWorkerList() = 0;
    virtual void Reset();
    // Whether the variable's condition holds in the current marking; false for a
    // variable without one (types 0 to 3). Generated variables of types 4 to 6
    // override it.
    virtual bool ConditionHolds();

    void Initialize(char const* name, RewardType type, int numTimes, double* starts, double* stops,
                    int timeIndex, int numImpulses, int numModelDeps, int numVarDeps);
    void InitializeTimeArrays(int n, double* starts, double* stops);
    void AddVariableDependency(const char* variable, const char* model);
    void AddModelDependency(const char* model);
    bool IsDependentOnModel(const char* model);
    void FixReferences(BaseModelClass* top);
    void CreateModelGroupList();
    void FixWorkerList();
    void AddPVWorkersToAction(BaseActionClass* a, BaseModelClass* instance);
    void DefineName(const char* name);
    void CurrentReward(BaseActionClass* a);
    bool ImpulseAffectedBy(BaseActionClass* a);
    RewardType GetRewardType() const { return Type; }
    bool HasCondition() const { return Type >= UntilConditionReward; }
    int GetNumTimePoints() const { return NumTimePoints; }
    double GetStartTime(int j) const { return StartTimes[j]; }
    double GetStopTime(int j) const { return StopTimes[j]; }

    // Impulse rewards.
    void AddImpulse(const char* action, const char* model, ImpulseNodeClass* impulse);
    void AddImpulseModelDependency(const char* model, ImpulseNodeClass* impulse);
    void AddImpulseModelDependency(const char* model, int i);
    void AddImpulseActionDependency(const char* action, const char* model, int i);
    bool IsDependentOnImpulseModel(const char* model, int i);
    int GetImpulseNumber(ImpulseNodeClass* impulse);
    void GetNumberOfImpulseWorkers();
    void CreateImpulseModelGroupList();
    void CreateImpulseWorkerLists();
    void FixImpulseWorkerLists();

    // Interval accumulation along a time axis (not used by the generator).
    void Accumulate(double now, double last, BaseActionClass* a);
    void EndAccumulate(double now, double last, BaseActionClass* a);
    void UpdateAccumulate(double t);
    void CommonAccumulate(double now, double last, BaseActionClass* a);
    void TotalAccumulation();

  private:
    void GrowModelDependencies();
    void GrowVariableDependencies();
    void GrowImpulses();
    void GrowImpulseModelDeps(int i);
    void FreeImpulseTables();
    // Calls f(worker) for every impulse worker that action a's lists name for this node.
    template <class F> void ForEachListedImpulseWorker(BaseActionClass* a, F f);
};

#endif
