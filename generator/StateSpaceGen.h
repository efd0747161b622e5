#ifndef STATESPACEGEN_H
#define STATESPACEGEN_H

#include "BaseClasses/List.h"
#include "generator/DeterministicList.h"
#include "generator/state_struct.h"

#include <cstdint>
#include <fstream>
#include <map>
#include <ostream>

class BaseActionClass;
class BaseGroupClass;
class HybridHash;
class PVModel;
class Queue;
class Reward;
class ResultsDB;
class TraceFileContainer;
class TraceFileKestroSSG;

// Breadth-first explorer of the reward model's state space. States are numbered
// 1, 2, 3, ... in the order found; for each explored state the summed rates to its
// destinations are written, in ascending destination number, to the state-space
// file. Instantaneous firings are eliminated so that only stable states are
// numbered; deterministic activities switch to a variant exploration.
//
// Exploring one state: its bytes are copied first (the queue slot they came from is
// reused by the next Enqueue) and loaded into the model; each timed action is asked
// Enabled() and fired through the reward model, the reached state is read back into
// `nextState` and looked up; then the copy is loaded again before the next action.
// A rate that is not positive records nothing, so it never numbers a state.
class StateSpaceGen {
  public:
    uint32_t lastStateNumber;
    std::map<uint32_t, double> transitions;
    uint32_t numTimedActions;
    uint32_t stateCount;
    int stateSize;
    uint32_t numErlangActions;
    ResultsDB* resultsDB;
    uint32_t actionKinds;
    PVModel* model;
    Reward* reward;
    Queue* queue;
    HybridHash* hashTable;
    BaseActionClass** instantActions;
    BaseActionClass** timedActions;
    BaseActionClass** erlangActions;
    List<BaseActionClass> actionList;
    BaseActionClass** actions;
    List<BaseGroupClass> groupList;
    BaseGroupClass** groups;
    state_struct* scratchState;
    double currentRate;
    DeterministicList detList;
    char* nextState;
    char* path;
    char* experimentName;
    short absorbFlag;
    short outputFileType;
    char* traceFileName;
    TraceFileContainer* trace;
    TraceFileKestroSSG* traceFile;
    int traceLevel;
    short instantDepth;
    uint32_t numInstantActions;
    double hashLoadFactor;

    // Working buffers, allocated once by the constructor so that exploring a state
    // allocates nothing beyond the transition map's nodes.
    char* exploredState;          // private copy of the state being explored
    char* instantScratch;         // re-load of the state reached by a firing
    char* branchStates;           // per instantaneous depth: the branching state
    BaseActionClass** enabledSet; // per instantaneous depth: enabled candidates

    StateSpaceGen(PVModel* model, char* path, char* experimentName, short absorbFlag,
                  double hashLoadFactor, char* dbHost, char* dbEntity, char* traceFileName);
    ~StateSpaceGen();
    StateSpaceGen(const StateSpaceGen&) = delete;
    StateSpaceGen& operator=(const StateSpaceGen&) = delete;

    void InitializeTrace();
    void GenStateSpace();
    void SetMethodPointers();
    void GenStateSpaceNormal(char* stateSpaceFile, char* rewardFile);
    void FindNextNormal(char* state);
    bool FireAction(BaseActionClass* action, char* state);
    void SaveStableState(double rate, int32_t number);
    void setHashValue(double v) { hashLoadFactor = v; }

    // Vanishing-state elimination.
    void FindNextInstant(char* state);
    void FireInstant(double p);

    // Deterministic exploration.
    void GenStateSpaceDeterministic(char* stateSpaceFile, char* rewardFile, char* detFile);
    void FindNextDeterministic(char* state);
    void FireInstantDet(double p);

  private:
    // Deepest instantaneous firing chain after one timed firing; one more ends the run.
    static const int MaxInstantDepth = 23;

    bool Tracing(int level) const;
    void ClassifyActions();
    void AllocateWorkBuffers();
    void StoreInitialState();
    void CheckNotEmpty() const;
    int CollectEnabledInstant(BaseActionClass** enabled);
    int CollectTopRank(BaseActionClass** enabled, int count);
    void RecordNewState(double rate);
    uint32_t ExploreQueue(std::ostream& out, void (StateSpaceGen::*step)(char*),
                          bool deterministicReport);
    void ReportAbsorbing(bool deterministicReport);
    void WriteCount(std::ostream& out, uint32_t records);
    void ReleaseRunStorage();
    // Flush (and close) an output file; on a failed write print the message on
    // standard error and return false.
    static bool CheckWritten(std::ostream& out, const char* message);
    static bool CheckClosed(std::ofstream& out, const char* message);
};

// The per-state exploration step of the current run.
extern void (StateSpaceGen::*FindNext)(char* state);

void printstate(char* state, int length);

#endif
