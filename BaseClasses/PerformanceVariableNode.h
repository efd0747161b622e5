#ifndef PERFORMANCEVARIABLENODE_H
#define PERFORMANCEVARIABLENODE_H

#include "BaseClasses/ActionModelPairClass.h"
#include "BaseClasses/ModelGroupClass.h"
#include "BaseClasses/VarModelPairClass.h"

class BaseActionClass;
class BaseModelClass;
class ImpulseNodeClass;
class PerformanceVariableWorker;

enum RewardType { InstantOfTimeReward = 0 };

// Run-time object of one performance variable. Its rate reward in a state is the sum
// of its workers' values, one worker per combination of the submodel instances it
// depends on (first dependency varying slowest). Its impulse reward is what the last
// fired action earned, evaluated only by the impulse workers listed in that action.
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

    PerformanceVariableNode();
    PerformanceVariableNode(const PerformanceVariableNode&) = delete;
    PerformanceVariableNode& operator=(const PerformanceVariableNode&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~PerformanceVariableNode();
    virtual void CreateWorkerList() = 0;
    virtual void Reset();

    void Initialize(char const* name, RewardType type, int numTimes, double* starts,
                    double* stops, int timeIndex, int numImpulses, int numModelDeps,
                    int numVarDeps);
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
};

#endif
