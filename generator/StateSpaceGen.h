#ifndef STATESPACEGEN_H
#define STATESPACEGEN_H

#include "BaseClasses/List.h"
#include "generator/DeterministicList.h"
#include "generator/ExtendedStore.h"
#include "generator/HybridHash.h"
#include "generator/StateSpaceGenFormat.h"
#include "generator/state_struct.h"

#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

class BaseActionClass;
class BaseGroupClass;
class BinaryChainWriter;
class Join;
class OutputFiles;
class PipelineSync;
class PVModel;
class Queue;
class Reward;
class RewardRates;
class ResultsDB;
class TraceFileContainer;
class TraceFileKestroSSG;
class VanishingClosure;
class MarkingList;

// The destinations of the state being explored, each with its summed rate. Firings
// are recorded in the order they happen; Finish() orders them by destination (a
// stable sort) and sums each destination's rates in that order, starting from 0.0.
// The sums are therefore the very doubles that adding each firing into an ordered
// map would give. The storage is kept from state to state, so that recording does
// not allocate once it has grown to the largest fan-out.
class TransitionList {
  public:
    struct Entry {
        uint32_t first; // destination number
        double second;  // rate: one firing's before Finish(), the sum after
    };

    void Add(uint32_t destination, double rate) { entries.push_back({destination, rate}); }
    // Orders and merges what was added; iterating then gives ascending, distinct
    // destinations.
    void Finish();
    bool empty() const { return entries.empty(); }
    size_t size() const { return entries.size(); }
    void clear() { entries.clear(); }
    std::vector<Entry>::const_iterator begin() const { return entries.begin(); }
    std::vector<Entry>::const_iterator end() const { return entries.end(); }

  private:
    std::vector<Entry> entries;
};

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
// A rate that is not positive records nothing, so it never numbers a state. Without
// tracing, one thread fires states while another looks up and records their
// successors (see ExplorePipelined); numbers, records and files stay the same.
class StateSpaceGen {
  public:
    // While two threads explore, the recording thread writes the first three members
    // and the firing thread writes currentRate, instantDepth and `filling`; each group
    // has cache lines of its own, apart from what the other thread reads.
    uint32_t lastStateNumber;
    TransitionList transitions;
    alignas(64) uint32_t numTimedActions;
    alignas(64) uint32_t stateCount;
    alignas(64) int stateSize;
    uint32_t numErlangActions;
    ResultsDB* resultsDB;
    uint32_t actionKinds;
    PVModel* model;
    Reward* reward;
    Queue* queue;
    // The state table: today's (the default), or with -x the extended one, which
    // numbers up to 2^32 - 1 states; the other is null.
    HybridHash* hashTable;
    ExtendedStore* extendedTable;
    BaseActionClass** instantActions;
    BaseActionClass** timedActions;
    BaseActionClass** erlangActions;
    List<BaseActionClass> actionList;
    BaseActionClass** actions;
    List<BaseGroupClass> groupList;
    BaseGroupClass** groups;
    state_struct* scratchState;
    alignas(64) double currentRate;
    alignas(64) DeterministicList detList;
    char* nextState;
    char* path;
    char* experimentName;
    short absorbFlag;
    short outputFileType;
    char* traceFileName;
    TraceFileContainer* trace;
    TraceFileKestroSSG* traceFile;
    int traceLevel;
    alignas(64) short instantDepth;
    alignas(64) uint32_t numInstantActions;
    double hashLoadFactor;

    // Working buffers, allocated once by the constructor. Exploring a state allocates
    // nothing once the per-state lists below have grown to the largest fan-out.
    char* exploredState;          // private copy of the state being explored
    char* instantScratch;         // re-load of the state reached by a firing
    char* branchStates;           // per instantaneous depth: the branching state
    BaseActionClass** enabledSet; // per instantaneous depth: enabled candidates

    // How many threads explore. Automatic: two on a machine with more than one
    // processor (and when neither tracing nor -a needs the one-thread order of
    // output). Tests force One or Two to cover both paths on every machine.
    enum class Threads { Automatic, One, Two };
    static Threads threads;
    // 0: instantaneous firings are resolved by FireInstant. Otherwise each timed
    // firing's vanishing markings, at most this many, are eliminated exactly by a
    // VanishingClosure (see FindNextEliminating).
    static uint32_t vanishingLimit;
    // Whether the next generator built keeps its states in an ExtendedStore.
    static bool extendedStorage;
    // The state-space file in binary form (.armb): none, beside the text one, or
    // instead of it.
    enum class BinaryChain { None, Beside, Instead };
    static BinaryChain binaryChain;
    // 0: no states file; 1: the states file lists the nonzero places of every state;
    // 2: all places. The trace's markings follow the same choice.
    static int statesListing;

    // Classifies the model's actions and numbers its current state 1 (enqueued,
    // stored and loaded back); an empty model ends the run.
    StateSpaceGen(PVModel* model, char* path, char* experimentName, short absorbFlag,
                  double hashLoadFactor, char* dbHost, char* dbEntity, char* traceFileName);
    // Releases the table, queue, buffers and the names it owns; leaves the trace sinks.
    ~StateSpaceGen();
    StateSpaceGen(const StateSpaceGen&) = delete;
    StateSpaceGen& operator=(const StateSpaceGen&) = delete;

    // Builds the trace sink at `traceLevel`; call once, after setting the level.
    void InitializeTrace();
    // The whole run: explores, writes every file, reports on standard output, and
    // moves the files into place; any failure ends the process with status 1.
    void GenStateSpace();
    // Writes the PV type file, chooses the exploration for the model's actions and
    // runs it, leaving the files under their temporary names.
    void SetMethodPointers();
    // Explores without deterministic activities into the two files named.
    void GenStateSpaceNormal(char* stateSpaceFile, char* rewardFile);
    // Fills `transitions` with the stable successors of `state` (no instantaneous
    // activity in the model).
    void FindNextNormal(char* state);
    // Fires `action` from the loaded state `state` when it is enabled: `nextState` and
    // `currentRate` then hold the result; returns whether it fired. A rate or case
    // probability that is not a number of the allowed range ends the run.
    bool FireAction(BaseActionClass* action, char* state);
    // Records a transition with `value` into the state in `nextState` whose number is
    // `number` (negative: a new state, numbered now). Every exploration records
    // through here or SaveSuccessors, which share the rule: a value of 0 is no
    // transition.
    void SaveStableState(double value, int64_t number);
    // Sets the load factor for a table built later.
    void setHashValue(double v) { hashLoadFactor = v; }

    // Vanishing-state elimination.
    // As FindNextNormal, for models with instantaneous activities.
    void FindNextInstant(char* state);
    // Resolves the state in the model through enabled instantaneous activities,
    // recording every stable state reached with p times `currentRate`.
    void FireInstant(double p);
    // As FindNextInstant, with each timed firing's vanishing markings explored
    // without recursion and eliminated exactly, loops included.
    void FindNextEliminating(char* state);

    // Deterministic exploration.
    // Explores a model with deterministic activities into the three files named.
    void GenStateSpaceDeterministic(char* stateSpaceFile, char* rewardFile, char* detFile);
    // As FindNextInstant; a deterministic firing is recorded as minus its probability
    // and the state is listed as enabling the delay.
    void FindNextDeterministic(char* state);
    // As FireInstant, with the group probabilities of the instantaneous activities.
    void FireInstantDet(double p);

  private:
    friend class VanishingClosure;
    // Deepest instantaneous firing chain after one timed firing; one more ends the run.
    static const int MaxInstantDepth = 23;

    bool Tracing(int level) const;
    void ClassifyActions();
    void AllocateWorkBuffers();
    void StoreInitialState();
    void CheckNotEmpty() const;
    int CollectEnabledInstant(BaseActionClass** enabled);
    int CollectTopRank(BaseActionClass** enabled, int count);
    void RecordNewState(double rate, char* state, const double* rewards);
    // The end of every record path: `value` into state `number`, or a new state with
    // the bytes `state` (and its captured rewards, or null to read the model's).
    void Record(double value, int64_t number, char* state, const double* rewards);
    // The state table's operations, whichever table the run keeps.
    int64_t Find(char* state) {
        return extendedTable != nullptr ? extendedTable->Lookup(state) : hashTable->Lookup(state);
    }
    HybridHash::Probe PrepareFind(const char* state) {
        return extendedTable != nullptr ? extendedTable->Prepare(state) : hashTable->Prepare(state);
    }
    void Store(char* state, uint32_t number) {
        if (extendedTable != nullptr)
            extendedTable->Insert(state, number);
        else
            hashTable->Insert(state, number);
    }
    // A rate, probability or weight read from the model, checked where it is read:
    // what reaches a record is then a positive rate or, for a deterministic firing,
    // minus a probability.
    void CheckRate(const BaseActionClass* action, double rate) const;
    void CheckProbability(const BaseActionClass* action, double probability) const;
    void CheckWeight(const BaseActionClass* action, double weight) const;
    // When `action` is the first case of an activity (enabled: the cases share their
    // enabling), stops the run unless the probabilities of the activity's enabled
    // cases add up to 1 within kCaseSumTolerance. Any other action passes: what its
    // group holds are competing activities, whose weights are relative.
    void CheckCases(const BaseActionClass* action) const;
    static constexpr double kCaseSumTolerance = 1e-9;
    [[noreturn]] void BadValue(const BaseActionClass* action, const char* what, double value,
                               const char* rule) const;

    // Per group number: 1 when the group gathers the cases of one activity.
    std::vector<char> caseGroup;

    // Stable states reached from the explored state wait for their lookups until all
    // its firings are done, so that the cache misses of those lookups overlap. Each
    // waits with its rate, its bytes, its rewards (captured while the model held
    // them) and its prepared probe; SaveSuccessors() records them in the order
    // reached, exactly as recording each at once would. Not while tracing: the trace
    // entries of recording would then come after those of later firings.
    struct Successor {
        HybridHash::Probe probe;
        double rate;
    };
    struct SuccessorBatch {
        std::vector<Successor> list;
        std::vector<char> states;
        std::vector<double> rewards;
        size_t count = 0;
        // The explored state's impulse rate per variable, and whether a
        // deterministic firing earned the variable an impulse there.
        std::vector<double> impulse;
        std::vector<unsigned char> unavailable;
        // Per variable, whether its condition holds in the explored state.
        std::vector<unsigned char> condition;
    };
    // The batch of the one-thread exploration; `filling` is the batch being filled.
    SuccessorBatch batch;
    alignas(64) SuccessorBatch* filling;
    // The top-level model when it is a Join, which can restore a state by the cells
    // that differ (see RestoreExplored); null otherwise.
    alignas(64) Join* topJoin;
    // Loads `exploredState` back into the model, which holds `nextState` after a
    // firing.
    void RestoreExplored();
    // Copies `state` into exploredState and loads it into the model.
    void LoadExplored(const char* state);
    // In debug builds, stops the run when the model breaks the state contract
    // (loading `loaded` and writing it back must give the same bytes, which
    // CompareState must find equal); does nothing otherwise.
    void CheckStateContract(const char* loaded);
    // Two-thread exploration (see ExplorePipelined): a slot carries one state to the
    // firing thread and its batch back; `stage` tells how far the fetches ahead of
    // its lookups have gone (0 to 3).
    struct alignas(64) PipelineSlot {
        std::vector<char> input;
        uint32_t number = 0;
        int stage = 0;
        SuccessorBatch batch;
    };
    static const uint64_t PipelineSlots = 256;
    std::vector<PipelineSlot> slots;
    // Set while two threads explore; the firing thread then leaves the table alone.
    bool pipelined;
    // The run's files under their temporary names, until they are moved into place.
    OutputFiles* files;
    // The reward-rate file of the run, and whether the model has impulse rewards at
    // all: without them no firing pays for gathering impulse rates.
    RewardRates* rewardRates;
    bool impulses;
    // Whether a variable watches a condition, which is then evaluated per state.
    bool conditions;
    // Opens the reward file and the reward-rate file and writes the record of state 1.
    void OpenRewardFiles(char* rewardFile);
    // Writes the End line of the reward-rate file; false when a write failed.
    bool CloseRewardRates(uint32_t records);
    // Starts the impulse rates of the state about to be explored at 0, and
    // evaluates the variables' conditions in it (the model holds it).
    void BeginImpulses();
    // The model has just fired an action that the exploration weighs with `weight`
    // (its rate times the probabilities on its path; minus the probability for a
    // deterministic firing): each variable's impulse from that firing is earned at
    // that weight.
    void EarnImpulses(double weight, const BaseActionClass* action);
    [[noreturn]] void BadImpulse(const BaseActionClass* action, int variable, double value) const;
    // Writes the impulse rates and conditions of explored state `number` gathered in
    // `b`.
    void WriteImpulses(uint32_t number, const SuccessorBatch& b);
    // The resolution of FindNextEliminating, made when that step is chosen.
    VanishingClosure* closure;
    // The binary state-space file of the run, when it writes one.
    BinaryChainWriter* binaryWriter;
    bool TextChain() const { return binaryChain != BinaryChain::Instead; }
    // Opens the state-space files of the run: the text one at `textName` (unless the
    // run writes the binary one instead), the binary one when asked for.
    void OpenChainFiles(std::ofstream& out, const char* textName);
    // Writes the count into the text file and completes the binary one; false when
    // either could not be written (reported on standard error).
    bool CloseChainFiles(std::ofstream& out, uint32_t records, const char* countPlaceholder);
    // The places by their full names, made once when the states file or the trace
    // needs markings; `markingText` is the reused buffer of one state's line.
    MarkingList* markings;
    std::string markingText;
    // The number of the state the calling thread fires, for messages. Per thread, so
    // that writing it for every state touches no memory the other thread reads.
    static thread_local uint32_t firingNumber;
    bool Deferring() const { return reward != nullptr && !Tracing(1); }
    // The stable state in `nextState` is reached with `rate`.
    void ReachStable(double rate);
    // Starts fetching what the lookups of a batch will read: first the index and
    // the stored copies (or, for new states, the bitmap words), then, when those
    // have arrived, the table slots where the walks for new states end.
    void FetchSuccessors(SuccessorBatch& batch);
    void FetchWalkEnds(SuccessorBatch& batch);
    // Records a batch; its state's transitions are then complete.
    void SaveSuccessors(SuccessorBatch& batch);
    // The end of a per-state step: records its batch, unless another thread does.
    void EndStep();
    // Writes the record of an explored state from `transitions`, and empties it.
    void WriteRecord(uint32_t number, bool deterministicReport, OutputBuffer& file,
                     NumberText& rates);
    // Returns false, having explored nothing, when no second thread can be started.
    bool ExplorePipelined(OutputBuffer& file, NumberText& rates, void (StateSpaceGen::*step)(char*),
                          uint32_t& records);
    void FireSubmitted(PipelineSync& sync, void (StateSpaceGen::*step)(char*), uint32_t first);
    void Advance(PipelineSlot& slot, int stage);
    uint32_t ExploreQueue(std::ostream& out, void (StateSpaceGen::*step)(char*),
                          bool deterministicReport);
    void ReportAbsorbing(bool deterministicReport);
    void WriteCount(std::ostream& out, uint32_t records);
    void ReleaseRunStorage();
    // Writes the states file when one was asked for: per state, in number order, its
    // number and its marking, read by loading each stored state into the model.
    // Returns false, having reported it, when the file could not be written.
    bool WriteStates();
    // The trace line of the marking the model holds.
    void TraceMarking();
    // Flush (and close) an output file; on a failed write print the message on
    // standard error and return false.
    static bool CheckWritten(std::ostream& out, const char* message);
    static bool CheckClosed(std::ofstream& out, const char* message);
};

// The per-state exploration step of the current run.
extern void (StateSpaceGen::*FindNext)(char* state);

void printstate(char* state, int length);

#endif
