#ifndef STATESPACEGEN_H
#define STATESPACEGEN_H

#include "BaseClasses/List.h"
#include "generator/DeterministicList.h"
#include "generator/state_struct.h"

#include <cstdint>
#include <map>

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
};

// The per-state exploration step of the current run.
extern void (StateSpaceGen::*FindNext)(char* state);

void printstate(char* state, int length);

#endif
