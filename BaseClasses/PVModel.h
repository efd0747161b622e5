#ifndef PVMODEL_H
#define PVMODEL_H

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseModelClass.h"

#include <vector>

class PerformanceVariableNode;
class FastSet;

// The root object the generator explores: owns the top-level model and the
// performance-variable nodes, answers for the top-level model's state, and fires
// actions so that the rewards of the resulting state are current. The state vector
// is exactly the top-level model's state bytes.
class PVModel : public BaseModelClass {
  public:
    PerformanceVariableNode** PVNodes;
    int NumPVs;
    BaseModelClass* TopModel;
    BaseActionClass* LastFiredAction;
    BaseActionClass** ModelActions; // our copy of the top-level action array
    double MaxStopTime;
    BaseActionClass** AffectingActions;
    FastSet** AffectingActionNodes;
    int NumRateDSActions;
    int NumImpulseDSActions;
    int NumAffectingActions;
    int ModelStateSize;
    int TotalStateSize;
    BaseActionClass NoActionFired;
    std::vector<PerformanceVariableNode*> ConsideredPVs;

    PVModel();
    ~PVModel() override;

    void listModels(const char* name, List<BaseModelClass>* l) override;
    void CurrentState(void* p) override;
    void listActions(List<BaseActionClass>* l) override;
    void listGroups(List<BaseGroupClass>* l) override;
    void SetState(void* p) override;
    int StateSize() override;
    bool CompareState(void* a, void* b) override;
    void listActions(const char* name, List<BaseActionClass>* l) override;
    void listSVs(const char* modelName, const char* varName, List<BaseStateVariableClass>* vars,
                 List<BaseModelClass>* models) override;
    void printState(std::ostream* out) override;
    using BaseModelClass::printState;
    // Returns a new node for performance variable pv at time index t, or null.
    virtual PerformanceVariableNode* createPVNode(int pv, int t) = 0;

    // A variable for which createPVNode yields null gets no node.
    void CreatePVList(int numPV, bool expandTimes);
    void Initialize();
    void MakeAffectedLists();
    void MakeImpulseAffectedLists();
    void CreateAffectedLists();
    void ConsiderOnly(int* which, int count);
    // Fires the action, recomputes the considered rewards, copies the new state.
    void FireAction(void* buf, BaseActionClass* a);
    // Erlang phase step: rewards refreshed, marking unchanged, no impulse earned.
    void AgeAction(char* state, BaseActionClass* a);
    // Writes the performance-variable type file. A file that cannot be created or
    // written ends the run (status 1): a run must not report success without it.
    void WritePVTypeFile(char* fileName);
    // Frees what Initialize built, the nodes and the top-level model; idempotent.
    void Destruct();

    // Execution along a time axis (not used by the generator).
    void FireAction(BaseActionClass* a, double time);
    void Accumulate(double time);
    void EndAccumulate(double time);
    void PVReset();
    void SteadyState();
};

#endif
