#ifndef BASEACTIONCLASS_H
#define BASEACTIONCLASS_H

#include "BaseClasses/FastSet.h"
#include "BaseClasses/List.h"

#include <ostream>

class BaseStateVariableClass;

// Distribution codes. The state-space generator gives meaning to exponential,
// deterministic, Erlang and instantaneous activities and refuses any other code; the
// general delays are for simulation, which samples them with SampleDistribution().
enum Distribution {
    Exponential = 1,
    Deterministic = 2,
    Weibull = 3,
    Normal = 4,
    Uniform = 5,
    Lognormal = 6,
    Erlang = 7,
    Gamma = 8,
    Triangular = 10,
    Instantaneous = 18
};

enum ExecutionPolicyType { DefaultPolicy = 1 };

// Root of every action. The generator drives actions through this interface:
// Enabled(), Rate(), Weight(), Rank(), DistributionType and GroupID, Fire() through
// the reward model, and the Erlang phase operations. The reward model allocates and
// fills the per-performance-variable structures before generation starts.
class BaseActionClass {
  public:
    static int MaxID;

    int GroupID;
    ExecutionPolicyType ExecutionPolicy;
    bool Disabled;
    bool Reactivation;
    // Set by a model whose rate reads no state variable: a simulator then keeps the
    // rate an activity was sampled with while it stays enabled, instead of asking
    // for it again after every firing that might have changed it.
    bool ConstantRate = false;
    char* Name;
    bool Fired;
    Distribution DistributionType;
    FastSet AffectedNodesByImpulseReward;
    FastSet* PVImpulseDS;
    int*** ImpulseWorkerLists;
    int** ImpulseWorkerCounts;
    FastSet* PVRateDS;
    FastSet AffectedNodes;
    FastSet AffectedNodesByRateReward;
    short Phase;
    int ID;
    List<BaseStateVariableClass> AffectedSVs;
    List<BaseStateVariableClass> EnablingSVs;

    BaseActionClass();
    BaseActionClass(const char* name, int group, Distribution dist, ExecutionPolicyType policy,
                    int affected, int enabling, bool reactivation);
    BaseActionClass(const BaseActionClass&) = delete;
    BaseActionClass& operator=(const BaseActionClass&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~BaseActionClass();
    virtual bool isSync();
    virtual bool Enabled();
    virtual double Weight();
    virtual double Rate();
    virtual bool ReactivationPredicate();
    virtual bool ReactivationFunction();
    virtual double SampleDistribution();
    virtual double* ReturnDistributionParameters();
    virtual void SetFired(int f);
    virtual BaseActionClass* Fire();
    virtual int Rank();
    virtual bool EnablingChange();
    virtual bool IsAMember(BaseActionClass* a);
    virtual double Probability(BaseActionClass* a);
    virtual void printAffectedState(std::ostream* s);
    virtual void printEnablingState(std::ostream* s);
    virtual BaseActionClass* getPrintedAction();
    virtual double ErlangParamM();

    void BaseActionClassInitialize(const char* name, int group, Distribution dist,
                                   ExecutionPolicyType policy, int affected, int enabling,
                                   bool reactivation);
    void defineName(const char* name);
    void PrintInfo();

    void addEnablingSV(BaseStateVariableClass* v);
    void removeEnablingSV(BaseStateVariableClass* v);
    void addAffectedSV(BaseStateVariableClass* v);
    void removeAffectedSV(BaseStateVariableClass* v);

    bool IsPVRateDSAllocated() const { return PVRateDS != nullptr; }
    bool IsPVImpulseDSAllocated() const { return PVImpulseDS != nullptr; }
    void AllocatePVRateDS(int numPVs);
    void AllocatePVImpulseDS(int numPVs);
    void DeallocatePVRateDS();
    void DeallocatePVImpulseDS();

    void ResetPhase() { Phase = 1; }
    void Age() { Phase = static_cast<short>(Phase + 1); }
    bool ReadyToFire() { return static_cast<double>(Phase) == ErlangParamM(); }

    char* getName() const { return Name; }
};

#endif
