#include "generator/StateSpaceGen.h"

#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseGroupClass.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/StandardErrors.h"
#include "BaseClasses/TraceFileContainer.h"
#include "BaseClasses/TraceFileKestroSSG.h"
#include "Composer/Join.h"
#include "generator/BinaryChainWriter.h"
#include "generator/HybridHash.h"
#include "generator/OutputFiles.h"
#include "generator/PipelineSync.h"
#include "generator/ResultsDB.h"
#include "generator/StateSpaceGenFormat.h"
#include "generator/MarkingList.h"
#include "generator/Reward.h"
#include "generator/RewardRates.h"
#include "generator/VanishingClosure.h"
#include "generator/queue.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <new>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>

void (StateSpaceGen::*FindNext)(char* state) = nullptr;

StateSpaceGen::Threads StateSpaceGen::threads = StateSpaceGen::Threads::Automatic;
uint32_t StateSpaceGen::vanishingLimit = 0;
bool StateSpaceGen::extendedStorage = false;
StateSpaceGen::BinaryChain StateSpaceGen::binaryChain = StateSpaceGen::BinaryChain::None;
int StateSpaceGen::statesListing = 0;
thread_local uint32_t StateSpaceGen::firingNumber = 0;

namespace {

// Kind bits of `actionKinds`.
const uint32_t KindExponentialOrInstant = 0x1;
const uint32_t KindDeterministic = 0x2;
const uint32_t KindErlang = 0x4;
const uint32_t KindUnsupported = 0xF000;

// Table parameters of the state store: 2^17 - 1 slots, 100000 states per storage
// block, 5-byte hash chunks, at most 128 blocks.
const uint32_t HashTableSize = 131071;
const uint32_t HashStatesPerBlock = 100000;
const uint32_t HashChunkWidth = 5;
const uint32_t HashMaxBlocks = 128;

// The count is written over this line once it is known; three runs of 21 blanks
// leave room for any count.
const char NormalCountPlaceholder[] = "                     "
                                      "                     "
                                      "                     ";

char* NewBuffer(size_t n) {
    char* b = new (std::nothrow) char[n > 0 ? n : 1];
    if (b == nullptr)
        MemoryAllocationError();
    return b;
}

// A working buffer of the firing side, on cache lines of its own: while two threads
// explore, one writes it for every firing and must not share a line with what the
// other writes. Released with std::free.
constexpr size_t CacheLine = 64;
template <class T> T* NewLineBuffer(size_t count) {
    const size_t bytes = (count * sizeof(T) + CacheLine - 1) / CacheLine * CacheLine;
    void* b = std::aligned_alloc(CacheLine, bytes > 0 ? bytes : CacheLine);
    if (b == nullptr)
        MemoryAllocationError();
    return static_cast<T*>(b);
}

// Writes an unsigned decimal and a line end at `at`; returns the position after it.
char* AppendLine(char* at, uint32_t n) {
    at = std::to_chars(at, at + 10, n).ptr;
    *at++ = '\n';
    return at;
}

[[noreturn]] void UnsupportedDistributions() {
    // exact text (two blanks after "Error:"), matched by callers
    Fatal(std::cout, "Error:  Can not generate state space with Current Action"
                     " Distribution Type\n");
}

} // namespace

void TransitionList::Finish() {
    const size_t n = entries.size();
    if (n > 32) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.first < b.first; });
    } else {
        // Insertion sort: stable, and without the temporary buffer of stable_sort
        // for the usual handful of entries.
        for (size_t i = 1; i < n; i++) {
            const Entry e = entries[i];
            size_t k = i;
            for (; k > 0 && entries[k - 1].first > e.first; k--)
                entries[k] = entries[k - 1];
            entries[k] = e;
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < n; i++) {
        if (kept > 0 && entries[kept - 1].first == entries[i].first) {
            entries[kept - 1].second += entries[i].second;
        } else {
            const double rate = entries[i].second;
            entries[kept] = {entries[i].first, 0.0};
            entries[kept].second += rate;
            kept++;
        }
    }
    entries.resize(kept);
    assert(std::is_sorted(entries.begin(), entries.end(),
                          [](const Entry& a, const Entry& b) { return a.first <= b.first; }) &&
           "destinations leave a state in ascending order");
}

StateSpaceGen::StateSpaceGen(PVModel* theModel, char* thePath, char* theExperimentName,
                             short theAbsorbFlag, double theHashLoadFactor, char* dbHost,
                             char* /*dbEntity: accepted, not used*/, char* theTraceFileName)
    : lastStateNumber(0), numTimedActions(0), stateCount(0), stateSize(0), numErlangActions(0),
      resultsDB(nullptr), actionKinds(0), model(theModel), reward(nullptr), queue(nullptr),
      hashTable(nullptr), extendedTable(nullptr), instantActions(nullptr), timedActions(nullptr),
      erlangActions(nullptr), actions(nullptr), groups(nullptr), scratchState(nullptr),
      currentRate(0.0), nextState(nullptr), path(thePath), experimentName(theExperimentName),
      absorbFlag(theAbsorbFlag), outputFileType(1), traceFileName(theTraceFileName), trace(nullptr),
      traceFile(nullptr), traceLevel(0), instantDepth(0), numInstantActions(0),
      hashLoadFactor(theHashLoadFactor), exploredState(nullptr), instantScratch(nullptr),
      branchStates(nullptr), enabledSet(nullptr), filling(&batch), topJoin(nullptr),
      pipelined(false), files(nullptr), rewardRates(nullptr), impulses(false), conditions(false),
      closure(nullptr), binaryWriter(nullptr), markings(nullptr) {
    if (dbHost != nullptr)
        resultsDB = new ResultsDB(dbHost, -1, nullptr, nullptr, nullptr);

    model->ConsiderOnly(nullptr, -1);
    model->listActions(&actionList);
    actions = actionList.getList();
    stateSize = model->StateSize();
    CheckNotEmpty();
    model->listGroups(&groupList);
    groups = groupList.getList();
    caseGroup.assign(static_cast<size_t>(std::max(groupList.getNumItems(), 0)), 0);
    for (size_t g = 0; g < caseGroup.size(); g++)
        caseGroup[g] = dynamic_cast<PostselectGroup*>(groups[g]) != nullptr;

    if (extendedStorage)
        extendedTable = new ExtendedStore(static_cast<uint32_t>(stateSize));
    else
        hashTable =
            new HybridHash(model, static_cast<uint32_t>(stateSize), HashTableSize,
                           HashStatesPerBlock, HashChunkWidth, HashMaxBlocks, hashLoadFactor);
    queue = new Queue(static_cast<unsigned long>(stateSize));

    ClassifyActions();
    AllocateWorkBuffers();
    StoreInitialState();
    topJoin = dynamic_cast<Join*>(model->TopModel);
}

void StateSpaceGen::CheckNotEmpty() const {
    if (stateSize == 0)
        Fatal(std::cout, "The model is empty, i.e., does not have any state variables.\n");
}

void StateSpaceGen::ClassifyActions() {
    int count = model->NumActions;
    if (count > actionList.getNumItems())
        count = actionList.getNumItems();
    if (count < 0)
        count = 0;
    instantActions = new (std::nothrow) BaseActionClass*[count > 0 ? count : 1];
    timedActions = new (std::nothrow) BaseActionClass*[count > 0 ? count : 1];
    erlangActions = new (std::nothrow) BaseActionClass*[count > 0 ? count : 1];
    if (instantActions == nullptr || timedActions == nullptr || erlangActions == nullptr)
        MemoryAllocationError();

    for (int i = 0; i < count; i++) {
        BaseActionClass* a = actions[i];
        switch (a->DistributionType) {
        case Instantaneous:
            instantActions[numInstantActions++] = a;
            actionKinds |= KindExponentialOrInstant;
            continue;
        case Exponential:
            actionKinds |= KindExponentialOrInstant;
            break;
        case Deterministic:
            actionKinds |= KindDeterministic;
            break;
        case Erlang:
            actionKinds |= KindErlang;
            erlangActions[numErlangActions++] = a;
            break;
        default:
            // Assigned, not OR-ed: kinds met before are dropped, later ones add on.
            actionKinds = KindUnsupported;
            break;
        }
        timedActions[numTimedActions++] = a;
    }
}

void StateSpaceGen::AllocateWorkBuffers() {
    size_t size = static_cast<size_t>(stateSize);
    // Depths 0 to MaxInstantDepth collect candidates; the next level only fails.
    size_t levels = MaxInstantDepth + 2;
    nextState = NewLineBuffer<char>(size);
    exploredState = NewLineBuffer<char>(size);
    instantScratch = NewLineBuffer<char>(size);
    branchStates = NewLineBuffer<char>(size * levels);
    size_t perLevel = numInstantActions > 0 ? numInstantActions : 1;
    enabledSet = NewLineBuffer<BaseActionClass*>(perLevel * levels);
    scratchState = new (std::nothrow) state_struct;
    if (scratchState == nullptr)
        MemoryAllocationError();
    scratchState->state = nextState;
    scratchState->number = 0;
}

void StateSpaceGen::StoreInitialState() {
    char* initial = NewBuffer(static_cast<size_t>(stateSize));
    model->CurrentState(initial);
    stateCount = 1;
    state_struct first;
    first.state = initial;
    first.number = stateCount;
    queue->Enqueue(&first);
    Store(initial, stateCount);
    model->SetState(initial);
    CheckStateContract(initial);
    delete[] initial;
}

void StateSpaceGen::LoadExplored(const char* state) {
    std::memcpy(exploredState, state, static_cast<size_t>(stateSize));
    model->SetState(exploredState);
    CheckStateContract(exploredState);
}

void StateSpaceGen::CheckStateContract(const char* loaded) {
#ifndef NDEBUG
    // The state table finds states by their bytes, and every restore after a firing
    // assumes that loading a state and writing it back gives the same bytes. A model
    // that breaks either gets a wrong chain without any other sign.
    model->CurrentState(instantScratch);
    if (std::memcmp(instantScratch, loaded, static_cast<size_t>(stateSize)) != 0)
        Fatal(std::cerr, "Error: the model writes back another state than the one it was "
                         "given (SetState then CurrentState)\n");
    if (!model->CompareState(instantScratch, const_cast<char*>(loaded)))
        Fatal(std::cerr, "Error: the model's CompareState does not find a state equal to "
                         "its own copy\n");
#else
    (void)loaded;
#endif
}

StateSpaceGen::~StateSpaceGen() {
    delete hashTable;
    delete extendedTable;
    delete queue;
    delete[] instantActions;
    delete[] timedActions;
    delete[] erlangActions;
    std::free(traceFileName);
    delete resultsDB;
    delete scratchState;
    std::free(nextState);
    std::free(exploredState);
    std::free(instantScratch);
    std::free(branchStates);
    std::free(enabledSet);
    delete files;
    delete rewardRates;
    delete closure;
    delete binaryWriter;
    delete markings;
    // The trace container and its sink stay alive to the end of the process: a
    // trace file is never closed explicitly (every line is flushed when written).
}

bool StateSpaceGen::Tracing(int level) const {
    // The one sink has the generator's level, so an entry it would drop is not
    // even formatted.
    return trace != nullptr && level <= traceLevel;
}

void StateSpaceGen::InitializeTrace() {
    trace = new TraceFileContainer();
    trace->setTraceLevel(traceLevel);
    if (traceFileName != nullptr)
        traceFile = new TraceFileKestroSSG(traceFileName);
    else
        traceFile = new TraceFileKestroSSG(&std::cout);
    traceFile->setTraceLevel(traceLevel);
    trace->AddTraceFile(traceFile);
    trace->addPVModel(model);
}

void StateSpaceGen::GenStateSpace() {
    outputFileType = 1;
    std::clock_t start = std::clock();

    SetMethodPointers();

    if (lastStateNumber == 0)
        lastStateNumber = 1;
    std::cout << "_$" << lastStateNumber << "$" << std::endl;

    if (Tracing(1))
        trace->printf(1, "Generated: %d states", static_cast<int>(lastStateNumber));
    std::cout << "Generated: " << lastStateNumber << " states" << std::endl;

    if (resultsDB != nullptr && !resultsDB->writeSSGExperInfo(experimentName, lastStateNumber))
        std::cout << "Error writing ssg experiment info" << std::endl;

    double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    seconds = std::trunc(seconds * 100000 + 0.5) / 100000;
    if (Tracing(1))
        trace->printf(1, "Computation time (user + system): %f", seconds);
    std::cout << "Computation Time (user + system): " << seconds << " seconds" << std::endl;

    // The front end reads the report: a run whose report was lost has failed.
    if (!std::cout)
        Fatal(std::cerr, "Error: Could not write the report on standard output\n");
    if (!files->Commit())
        EndProcess(1);
    delete files;
    files = nullptr;
}

void StateSpaceGen::SetMethodPointers() {
    // Refused before any file is written: the deterministic exploration resolves
    // instantaneous activities by their case probabilities alone, which the
    // elimination does not reproduce.
    if (vanishingLimit > 0 && model->NumActions > 0 &&
        (actionKinds == KindDeterministic ||
         actionKinds == (KindDeterministic | KindExponentialOrInstant)))
        Fatal(std::cerr, "Error: the instantaneous elimination (-z) does not support deterministic "
                         "activities; run without -z\n");
    delete files;
    files = new OutputFiles(path, experimentName);
    char* stateSpaceName = TextChain() ? files->Temporary(OutputFiles::StateSpace) : nullptr;
    char* rewardName = files->Temporary(OutputFiles::Rewards);
    model->WritePVTypeFile(files->Temporary(OutputFiles::PVType));

    if (model->NumActions <= 0) {
        FindNext = &StateSpaceGen::FindNextNormal;
        GenStateSpaceNormal(stateSpaceName, rewardName);
        return;
    }

    switch (actionKinds) {
    case KindExponentialOrInstant:
    case KindErlang:
    case KindExponentialOrInstant | KindErlang:
        if (numInstantActions == 0) {
            FindNext = &StateSpaceGen::FindNextNormal;
        } else {
            // The constructor left the initial state loaded in the model.
            for (uint32_t i = 0; i < numInstantActions; i++) {
                if (instantActions[i]->Enabled())
                    Fatal(std::cout, "Error: The initial state is not stable, i.e., at least"
                                     " one instantaneous action is enabled in that state.\n");
            }
            FindNext = &StateSpaceGen::FindNextInstant;
            if (vanishingLimit > 0) {
                delete closure;
                closure = new VanishingClosure(*this, vanishingLimit);
                FindNext = &StateSpaceGen::FindNextEliminating;
            }
        }
        GenStateSpaceNormal(stateSpaceName, rewardName);
        break;
    case KindDeterministic:
    case KindDeterministic | KindExponentialOrInstant:
        FindNext = &StateSpaceGen::FindNextInstant;
        GenStateSpaceDeterministic(stateSpaceName, rewardName,
                                   files->Temporary(OutputFiles::Deterministic));
        break;
    default:
        // Deterministic together with Erlang, or a distribution the generator
        // cannot handle.
        UnsupportedDistributions();
    }
}

void StateSpaceGen::OpenChainFiles(std::ofstream& out, const char* textName) {
    if (TextChain() && textName != nullptr) {
        out.open(textName, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!out.is_open())
            Fatal(std::cerr, "Error: Could not open state space output file\n");
    }
    if (binaryChain != BinaryChain::None) {
        delete binaryWriter;
        binaryWriter = new BinaryChainWriter(files->Temporary(OutputFiles::BinaryStateSpace));
    }
}

bool StateSpaceGen::CloseChainFiles(std::ofstream& out, uint32_t records,
                                    const char* countPlaceholder) {
    bool ok = true;
    if (TextChain()) {
        // A count longer than its room would overwrite the first record.
        if (std::to_string(records).size() > std::strlen(countPlaceholder))
            Fatal(std::cerr, "Error: the chain has " + std::to_string(records) +
                                 " states, more than the state-space file of this exploration "
                                 "can count (" +
                                 std::to_string(std::strlen(countPlaceholder)) + " digits)\n");
        WriteCount(out, records);
        ok = CheckClosed(out, "Error: Could not write state space output file");
    }
    if (binaryWriter != nullptr) {
        ok = binaryWriter->Finish(static_cast<uint32_t>(outputFileType)) && ok;
        delete binaryWriter;
        binaryWriter = nullptr;
    }
    return ok;
}

void StateSpaceGen::WriteCount(std::ostream& out, uint32_t records) {
    out.seekp(0);
    out << outputFileType << '\n' << records << '\n';
}

void StateSpaceGen::ReportAbsorbing(bool deterministicReport) {
    if (deterministicReport) {
        std::cout << std::endl << "This following State is absorbing:" << std::endl;
        model->printState();
        return;
    }
    if (Tracing(1))
        trace->printStr(1, "The following state is absorbing: ");
    std::cout << "absorbing state" << std::endl;
    // A state dump has no level of its own: it is written at every trace level.
    if (trace != nullptr)
        trace->printState();
}

void StateSpaceGen::WriteRecord(uint32_t number, bool deterministicReport, OutputBuffer& file,
                                NumberText& rates) {
    // Room for one destination line and its rate line.
    const size_t entryRoom = 11 + NumberText::MaxLength + 1;
    const bool text = TextChain();
    if (text)
        file.Commit(AppendLine(file.Reserve(11), number));
    if (number % 1000 == 0)
        std::cout << "_$" << number << "$" << std::endl;
    if (absorbFlag == 1 && transitions.empty())
        ReportAbsorbing(deterministicReport);
    transitions.Finish();
    if (binaryWriter != nullptr)
        binaryWriter->Add(transitions);
    if (text) {
        for (const auto& entry : transitions) {
            char* at = AppendLine(file.Reserve(entryRoom), entry.first);
            at = rates.Append(at, entry.second);
            *at++ = '\n';
            file.Commit(at);
        }
        char* at = file.Reserve(2);
        *at++ = '0';
        *at++ = '\n';
        file.Commit(at);
    }
    transitions.clear();
}

uint32_t StateSpaceGen::ExploreQueue(std::ostream& out, void (StateSpaceGen::*step)(char*),
                                     bool deterministicReport) {
    OutputBuffer file(out);
    NumberText rates(NumberText::Form::Scientific10);
    uint32_t records = 0;
    const bool deferring = step == &StateSpaceGen::FindNextNormal ||
                           step == &StateSpaceGen::FindNextInstant ||
                           step == &StateSpaceGen::FindNextEliminating;
    // The absorbing-state report shows the model as its state's exploration left it,
    // so it needs each state recorded before the next is explored.
    const bool twoThreads = threads == Threads::Two || (threads == Threads::Automatic &&
                                                        std::thread::hardware_concurrency() > 1);
    bool done = false;
    if (deferring && Deferring() && absorbFlag != 1 && twoThreads)
        done = ExplorePipelined(file, rates, step, records);
    if (!done) {
        for (state_struct* s = queue->Dequeue(); s != nullptr; s = queue->Dequeue()) {
            uint32_t number = s->number;
            assert(number == lastStateNumber + 1 && "states leave the queue in number order");
            lastStateNumber = number;
            firingNumber = number;
            if (Tracing(1)) {
                trace->printf(1, "State Number = %d", static_cast<int>(number));
                // The step loads the state again; loading it twice changes nothing.
                model->SetState(s->state);
                TraceMarking();
            }
            (this->*step)(s->state);
            WriteImpulses(number, *filling);
            WriteRecord(number, deterministicReport, file, rates);
            records++;
        }
    }
    file.Flush();
    return records;
}

// Two threads explore together. This one hands out the queued states in number
// order, up to PipelineSlots ahead, to the firing thread, which alone uses the model:
// it fires each state's actions into the state's slot (successor bytes, rates,
// captured rewards, digests). This one then takes the slots back in the same order and
// does what exploring one state at a time does after the firings: the lookups, the
// numbering and enqueueing of new states, the reward and state-space records. The
// firings come in the order of the one-thread exploration and read nothing that the
// recording writes, so the numbers and every byte written are the same. A few slots
// ahead of the one it records, this thread starts fetching what the lookups will
// read, so that their cache misses overlap.
bool StateSpaceGen::ExplorePipelined(OutputBuffer& file, NumberText& rates,
                                     void (StateSpaceGen::*step)(char*), uint32_t& records) {
    const uint64_t n = PipelineSlots;
    const size_t size = static_cast<size_t>(stateSize);
    if (slots.size() != n) {
        slots.resize(n);
        for (PipelineSlot& slot : slots)
            slot.input.resize(size > 0 ? size : 1);
    }
    PipelineSync sync;
    file.HandOffTo(&sync);
    pipelined = true;
    std::thread firer;
    try {
        // States leave the queue in number order, so the k-th one handed out is
        // number first + k; the firing thread need not read it from the slot.
        const uint32_t first = lastStateNumber + 1;
        firer = std::thread([this, &sync, step, first] { FireSubmitted(sync, step, first); });
    } catch (const std::system_error&) {
        // No second thread to be had (a thread or memory limit): one thread does it all.
        file.EndHandOff();
        pipelined = false;
        return false;
    }

    records = 0;
    uint64_t submitted = 0, recorded = 0;
    for (;;) {
        ParkIfEnding();
        while (submitted - recorded < n) {
            state_struct* s = queue->Dequeue();
            if (s == nullptr)
                break;
            assert(s->number == lastStateNumber + 1 && "states leave the queue in number order");
            lastStateNumber = s->number;
            PipelineSlot& slot = slots[submitted % n];
            std::memcpy(slot.input.data(), s->state, size);
            slot.number = s->number;
            slot.stage = 0;
            sync.submitted.store(++submitted, std::memory_order_release);
        }
        if (recorded == submitted)
            break; // nothing queued, nothing being fired
        sync.WaitUntil([&] { return sync.fired.load(std::memory_order_acquire) > recorded; });
        const uint64_t fired = sync.fired.load(std::memory_order_acquire);
        if (recorded + 2 < fired)
            Advance(slots[(recorded + 2) % n], 1);
        if (recorded + 1 < fired)
            Advance(slots[(recorded + 1) % n], 2);
        PipelineSlot& slot = slots[recorded % n];
        Advance(slot, 3);
        SaveSuccessors(slot.batch);
        WriteImpulses(slot.number, slot.batch);
        WriteRecord(slot.number, false, file, rates);
        records++;
        recorded++;
    }
    file.EndHandOff();
    sync.finished.store(true, std::memory_order_release);
    firer.join();
    pipelined = false;
    filling = &batch;
    return true;
}

void StateSpaceGen::FireSubmitted(PipelineSync& sync, void (StateSpaceGen::*step)(char*),
                                  uint32_t first) {
    for (uint64_t k = 0;;) {
        ParkIfEnding();
        sync.WaitUntil([&] {
            return sync.submitted.load(std::memory_order_acquire) > k ||
                   sync.finished.load(std::memory_order_acquire) ||
                   sync.pendingBytes.load(std::memory_order_acquire) > 0;
        });
        // Writing the state-space file is this thread's too: it has time to spare.
        if (sync.WritePending())
            continue;
        // Finished is set only once every submitted state has been recorded.
        if (sync.submitted.load(std::memory_order_acquire) <= k)
            return;
        PipelineSlot& slot = slots[k % slots.size()];
        filling = &slot.batch;
        firingNumber = first + static_cast<uint32_t>(k);
        (this->*step)(slot.input.data());
        sync.fired.store(++k, std::memory_order_release);
    }
}

void StateSpaceGen::Advance(PipelineSlot& slot, int stage) {
    SuccessorBatch& b = slot.batch;
    if (slot.stage < 1 && stage >= 1)
        for (size_t k = 0; k < b.count; k++)
            b.list[k].probe = extendedTable != nullptr
                                  ? extendedTable->Prepare(b.list[k].probe.digest)
                                  : hashTable->Prepare(b.list[k].probe.digest);
    if (slot.stage < 2 && stage >= 2)
        FetchSuccessors(b);
    if (slot.stage < 3 && stage >= 3)
        FetchWalkEnds(b);
    if (slot.stage < stage)
        slot.stage = stage;
}

void StateSpaceGen::ReleaseRunStorage() {
    delete reward;
    reward = nullptr;
    // The table's entries are no longer needed once every state has its number; the
    // stored state copies go with the hash table itself.
    if (hashTable != nullptr) {
        delete[] hashTable->table;
        hashTable->table = nullptr;
    }
}

// A failed write is never reported as success: the front end would read a
// truncated file as a complete one.
bool StateSpaceGen::CheckWritten(std::ostream& out, const char* message) {
    out.flush();
    if (out.fail()) {
        std::cerr << message << std::endl;
        return false;
    }
    return true;
}

bool StateSpaceGen::CheckClosed(std::ofstream& out, const char* message) {
    out.flush();
    bool ok = !out.fail();
    out.close();
    ok = ok && !out.fail();
    if (!ok)
        std::cerr << message << std::endl;
    return ok;
}

void StateSpaceGen::GenStateSpaceNormal(char* stateSpaceFile, char* rewardFile) {
    std::ofstream out;
    OpenChainFiles(out, stateSpaceFile);
    out << std::scientific;
    out.precision(10);
    std::cout << std::scientific;

    OpenRewardFiles(rewardFile);

    if (TextChain())
        out << outputFileType << '\n' << NormalCountPlaceholder << '\n';
    uint32_t records = ExploreQueue(out, FindNext, false);
    bool ok = CloseChainFiles(out, records, NormalCountPlaceholder);
    ok = CloseRewardRates(records) && ok;
    ok = WriteStates() && ok;
    ReleaseRunStorage();
    ok = CheckWritten(rewfile, "Error: Could not write reward file") && ok;
    if (!ok)
        EndProcess(1);
}

bool StateSpaceGen::WriteStates() {
    if (statesListing == 0)
        return true;
    std::ofstream out(files->Temporary(OutputFiles::States),
                      std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        std::cerr << "Error: Could not open the states file" << std::endl;
        return false;
    }
    if (markings == nullptr)
        markings = new MarkingList(model->TopModel, statesListing == 2);
    std::string line;
    for (uint32_t n = 1; n <= stateCount; n++) {
        model->SetState(const_cast<char*>(extendedTable != nullptr ? extendedTable->CopyOf(n)
                                                                   : hashTable->StoredState(n)));
        line = std::to_string(n);
        markings->Append(line);
        line += '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    return CheckClosed(out, "Error: Could not write the states file");
}

void StateSpaceGen::TraceMarking() {
    if (markings == nullptr)
        markings = new MarkingList(model->TopModel, statesListing == 2);
    markingText = "Marking:";
    markings->Append(markingText);
    trace->printStr(1, &markingText[0]);
}

void StateSpaceGen::FindNextNormal(char* state) {
    LoadExplored(state);
    BeginImpulses();
    for (uint32_t i = 0; i < numTimedActions; i++) {
        BaseActionClass* a = timedActions[i];
        if (Tracing(4))
            trace->printf(4, "Checking Action: %s", a->getName());
        if (FireAction(a, exploredState)) {
            ReachStable(currentRate);
            RestoreExplored();
        }
    }
    EndStep();
}

void StateSpaceGen::RestoreExplored() {
    // The reward model loads a state into its top-level model, and a firing leaves
    // the state it reached in `nextState`.
    if (topJoin != nullptr)
        topJoin->RestoreState(exploredState, nextState);
    else
        model->SetState(exploredState);
}

bool StateSpaceGen::FireAction(BaseActionClass* action, char* state) {
    if (!action->Enabled())
        return false;
    if (Tracing(1))
        trace->printFireAction(action, 0.0);

    BaseGroupClass* group = groups[action->GroupID];
    if (action->DistributionType != Erlang || action->ReadyToFire()) {
        const double rate = action->Rate();
        const double probability = group->Probability(action);
        CheckRate(action, rate);
        CheckCases(action);
        CheckProbability(action, probability);
        currentRate = rate * probability;
        // The reward model's firing copies the new state into `nextState`; resetting
        // Erlang phases changes no byte of it, so it needs no second copy.
        model->FireAction(nextState, action);
        if (impulses)
            EarnImpulses(currentRate, action);
        for (uint32_t i = 0; i < numErlangActions; i++)
            if (!erlangActions[i]->Enabled())
                erlangActions[i]->ResetPhase();
        return true;
    }
    // An earlier phase: the marking stays, every case of the activity moves on one
    // phase together, and the phase rate is shared among them.
    model->AgeAction(state, action);
    const double rate = action->Rate();
    CheckRate(action, rate);
    int n = group->NumMembers;
    if (n > 0) {
        for (int i = 0; i < n; i++)
            group->Members[i]->Age();
        currentRate = rate / n;
    } else {
        action->Age();
        currentRate = rate;
    }
    model->CurrentState(nextState);
    return true;
}

void StateSpaceGen::CheckRate(const BaseActionClass* action, double rate) const {
    // A negative rate would be written like a deterministic firing; NaN and infinity
    // are no rates at all.
    if (!(rate >= 0.0) || !std::isfinite(rate))
        BadValue(action, "rate", rate, "a rate must be a finite number of at least 0");
}

void StateSpaceGen::CheckProbability(const BaseActionClass* action, double probability) const {
    if (!(probability >= 0.0 && probability <= 1.0))
        BadValue(action, "case probability", probability, "a probability must lie between 0 and 1");
}

void StateSpaceGen::CheckCases(const BaseActionClass* action) const {
    const int id = action->GroupID;
    if (id < 0 || static_cast<size_t>(id) >= caseGroup.size() ||
        !caseGroup[static_cast<size_t>(id)])
        return;
    const BaseGroupClass* group = groups[id];
    if (group->NumMembers == 0 || group->Members[0] != action)
        return;
    double total = 0.0;
    for (int k = 0; k < group->NumMembers; k++)
        if (group->Members[k]->Enabled())
            total += group->Members[k]->Weight();
    if (std::fabs(total - 1.0) <= kCaseSumTolerance)
        return;
    // The group is named after its activity: "<activity>Group".
    std::string name = group->Name != nullptr ? group->Name : "";
    if (name.size() > 5 && name.compare(name.size() - 5, 5, "Group") == 0)
        name.resize(name.size() - 5);
    std::ostringstream text;
    text.precision(15);
    text << "Error: activity " << name << " has case probabilities adding up to " << total
         << " in state " << firingNumber << "; they must add up to 1\n";
    Fatal(std::cerr, text.str());
}

void StateSpaceGen::CheckWeight(const BaseActionClass* action, double weight) const {
    if (!(weight >= 0.0) || !std::isfinite(weight))
        BadValue(action, "weight", weight, "a weight must be a finite number of at least 0");
}

void StateSpaceGen::BadValue(const BaseActionClass* action, const char* what, double value,
                             const char* rule) const {
    std::ostringstream text;
    text << "Error: activity " << action->getName() << " has " << what << " " << value
         << " in state " << firingNumber << "; " << rule << "\n";
    Fatal(std::cerr, text.str());
}

// Both on the recording thread's path for every successor: kept inline there.
inline void StateSpaceGen::RecordNewState(double rate, char* state, const double* rewards) {
    stateCount++;
    scratchState->state = state;
    scratchState->number = stateCount;
    queue->Enqueue(scratchState);
    scratchState->state = nextState;
    Store(state, stateCount);
    transitions.Add(stateCount, rate);
    if (rewards != nullptr)
        reward->Calculate(stateCount, rewards);
    else
        reward->Calculate(stateCount);
}

inline void StateSpaceGen::Record(double value, int64_t number, char* state,
                                  const double* rewards) {
    assert(value != 0 && std::isfinite(value) && "values are checked where they are read");
    if (number >= 0)
        transitions.Add(static_cast<uint32_t>(number), value);
    else
        RecordNewState(value, state, rewards);
}

void StateSpaceGen::ReachStable(double rate) {
    if (!Deferring()) {
        SaveStableState(rate, Find(nextState));
        return;
    }
    if (rate == 0)
        return; // recorded as nothing, as SaveStableState would
    SuccessorBatch& b = *filling;
    const size_t k = b.count++;
    const size_t size = static_cast<size_t>(stateSize);
    const size_t values = Reward::ValuesPerRecord(model);
    if (b.list.size() < b.count) {
        // Grown once to the largest fan-out, then reused.
        b.list.resize(2 * b.count);
        b.states.resize(b.list.size() * size);
        b.rewards.resize(b.list.size() * values);
    }
    if (pipelined) {
        // The table belongs to the other thread: only the digest is computed here.
        b.list[k].probe.digest = HybridHash::Digest(nextState, static_cast<uint32_t>(stateSize));
        b.list[k].rate = rate;
    } else {
        b.list[k] = {PrepareFind(nextState), rate};
    }
    std::memcpy(&b.states[k * size], nextState, size);
    if (values > 0)
        Reward::Capture(model, &b.rewards[k * values]);
}

void StateSpaceGen::FetchSuccessors(SuccessorBatch& b) {
    // The index slots asked for while firing have arrived by now.
    const size_t size = static_cast<size_t>(stateSize);
    if (extendedTable != nullptr) {
        for (size_t k = 0; k < b.count; k++)
            extendedTable->FetchCandidate(&b.states[k * size], b.list[k].probe);
        return;
    }
    for (size_t k = 0; k < b.count; k++)
        hashTable->FetchCandidate(&b.states[k * size], b.list[k].probe);
}

void StateSpaceGen::FetchWalkEnds(SuccessorBatch& b) {
    if (hashTable == nullptr)
        return; // the extended table has no walks of its own
    for (size_t k = 0; k < b.count; k++)
        hashTable->FetchWalkEnd(b.list[k].probe);
}

void StateSpaceGen::SaveSuccessors(SuccessorBatch& b) {
    const size_t size = static_cast<size_t>(stateSize);
    const size_t values = reward != nullptr ? reward->ValuesPerRecord() : 0;
    for (size_t k = 0; k < b.count; k++) {
        char* state = &b.states[k * size];
        Record(b.list[k].rate,
               extendedTable != nullptr ? extendedTable->Lookup(state, b.list[k].probe)
                                        : hashTable->Lookup(state, b.list[k].probe),
               state, values > 0 ? &b.rewards[k * values] : nullptr);
    }
    b.count = 0;
}

void StateSpaceGen::EndStep() {
    if (pipelined)
        return; // the other thread records the batch
    FetchSuccessors(*filling);
    SaveSuccessors(*filling);
}

void StateSpaceGen::SaveStableState(double value, int64_t number) {
    if (Tracing(4))
        trace->printf(4, "The rate to this state: %f", value);
    // A rate of 0 or a path of probability 0 is no transition and numbers no state.
    if (value == 0)
        return;
    Record(value, number, nextState, nullptr);
}

void StateSpaceGen::OpenRewardFiles(char* rewardFile) {
    reward = new Reward(model, outputFileType, rewardFile);
    delete rewardRates;
    rewardRates = nullptr;
    impulses = false;
    conditions = false;
    if (files != nullptr) {
        rewardRates = new RewardRates(model, files->Temporary(OutputFiles::Rates));
        reward->rates = rewardRates;
        impulses = rewardRates->AnyImpulse();
        conditions = rewardRates->AnyCondition();
    }
    model->FireAction(nextState, &model->NoActionFired);
    reward->Calculate(stateCount);
}

bool StateSpaceGen::CloseRewardRates(uint32_t records) {
    if (rewardRates == nullptr)
        return true;
    if (reward != nullptr)
        reward->rates = nullptr;
    const bool ok = rewardRates->Finish(records);
    delete rewardRates;
    rewardRates = nullptr;
    return ok;
}

void StateSpaceGen::BeginImpulses() {
    if (conditions) {
        // Sized once per batch like the impulse rates.
        const int n = model->NumPVs;
        filling->condition.assign(static_cast<size_t>(n), 0);
        for (int i = 0; i < n; i++)
            if (model->PVNodes[i]->HasCondition())
                filling->condition[static_cast<size_t>(i)] =
                    model->PVNodes[i]->ConditionHolds() ? 1 : 0;
    }
    if (!impulses)
        return;
    // Sized once per batch; no allocation afterwards.
    const size_t n = rewardRates->Variables();
    filling->impulse.assign(n, 0.0);
    filling->unavailable.assign(n, 0);
}

void StateSpaceGen::EarnImpulses(double weight, const BaseActionClass* action) {
    double* earned = filling->impulse.data();
    const int n = model->NumPVs;
    for (int i = 0; i < n; i++) {
        const double v = model->PVNodes[i]->ImpulseValue;
        if (v == 0.0)
            continue;
        if (!std::isfinite(v))
            BadImpulse(action, i, v);
        // Only a deterministic firing is weighed negatively: its impulse is earned
        // once per delay, which no rate expresses.
        if (weight < 0.0)
            filling->unavailable[static_cast<size_t>(i)] = 1;
        else
            earned[i] += weight * v;
    }
}

void StateSpaceGen::BadImpulse(const BaseActionClass* action, int variable, double value) const {
    const char* name = model->PVNodes[variable]->Name;
    std::ostringstream text;
    text << "Error: activity " << action->getName() << " earns variable "
         << (name != nullptr ? name : "?") << " an impulse reward of " << value << " in state "
         << firingNumber << "; an impulse reward must be a finite number\n";
    Fatal(std::cerr, text.str());
}

void StateSpaceGen::WriteImpulses(uint32_t number, const SuccessorBatch& b) {
    if (impulses)
        rewardRates->Explored(number, b.impulse.data(), b.unavailable.data());
    if (conditions)
        rewardRates->Conditions(number, b.condition.data());
}

int StateSpaceGen::CollectEnabledInstant(BaseActionClass** enabled) {
    int count = 0;
    for (uint32_t i = 0; i < numInstantActions; i++)
        if (instantActions[i]->Enabled())
            enabled[count++] = instantActions[i];
    return count;
}

int StateSpaceGen::CollectTopRank(BaseActionClass** enabled, int count) {
    int top = 0;
    for (int i = 0; i < count; i++)
        if (enabled[i]->Rank() > top)
            top = enabled[i]->Rank();
    int kept = 0;
    for (int i = 0; i < count; i++)
        if (enabled[i]->Rank() == top)
            enabled[kept++] = enabled[i];
    return kept;
}

void StateSpaceGen::FindNextInstant(char* state) {
    LoadExplored(state);
    BeginImpulses();
    for (uint32_t i = 0; i < numTimedActions; i++) {
        BaseActionClass* a = timedActions[i];
        if (Tracing(4))
            trace->printf(4, "Checking Action: %s", a->getName());
        if (FireAction(a, exploredState)) {
            instantDepth = 0;
            FireInstant(1.0);
        }
        model->SetState(exploredState);
    }
    EndStep();
}

void StateSpaceGen::FindNextEliminating(char* state) {
    LoadExplored(state);
    BeginImpulses();
    for (uint32_t i = 0; i < numTimedActions; i++) {
        BaseActionClass* a = timedActions[i];
        if (Tracing(4))
            trace->printf(4, "Checking Action: %s", a->getName());
        if (FireAction(a, exploredState))
            closure->Resolve(a);
        model->SetState(exploredState);
    }
    EndStep();
}

// The line after the depth failure of the normal exploration: the firings it gave up
// on are a vanishing loop or a long chain, which -z resolves without recursion. The
// deterministic exploration, which -z does not support, does not print it.
namespace {
const char kEliminationHint[] =
    "Hint: run with -z, which eliminates vanishing loops and long chains of instantaneous "
    "firings exactly (a loop no firing can leave is then reported as a timeless trap)\n";
} // namespace

void StateSpaceGen::FireInstant(double p) {
    if (instantDepth > MaxInstantDepth) {
        // exact text, matched by callers
        Fatal(std::cerr, "Error:  Maximum number of zero time transition recursive "
                         "firings exceeded(" +
                             std::to_string(MaxInstantDepth) +
                             ")\nPossible undetermined model.\n"
                             "Please check the model and try again\n" +
                             kEliminationHint);
    }
    // The model is not read out and loaded back here: loading a model with the state
    // it holds changes nothing (every state variable's SetState reads back exactly
    // what its CurrentState writes), and the copy cost as much as the firing itself.

    BaseActionClass** enabled = enabledSet + static_cast<size_t>(instantDepth) *
                                                 (numInstantActions > 0 ? numInstantActions : 1);
    int count = CollectEnabledInstant(enabled);
    if (count == 0) {
        ReachStable(p * currentRate);
        return;
    }
    if (count == 1) {
        CheckCases(enabled[0]);
        if (Tracing(1))
            trace->printFireAction(enabled[0], 0.0);
        model->FireAction(nextState, enabled[0]);
        if (impulses)
            EarnImpulses(p * currentRate, enabled[0]);
        instantDepth++;
        FireInstant(p);
        instantDepth--;
        return;
    }

    int candidates = CollectTopRank(enabled, count);
    double total = 0.0;
    for (int i = 0; i < candidates; i++) {
        CheckCases(enabled[i]);
        const double w = enabled[i]->Weight();
        CheckWeight(enabled[i], w);
        total += w;
    }
    if (!(total > 0.0) || !std::isfinite(total))
        Fatal(std::cerr, "Error: instantaneous activities enabled together have a total weight of "
                         "0; their probabilities are undefined.\n");

    char* saved = branchStates + static_cast<size_t>(instantDepth) * stateSize;
    model->CurrentState(saved);
    for (int i = 0; i < candidates; i++) {
        BaseActionClass* a = enabled[i];
        double w = a->Weight();
        if (Tracing(1))
            trace->printFireAction(a, 0.0);
        model->FireAction(nextState, a);
        if (impulses)
            EarnImpulses((w / total) * p * currentRate, a);
        instantDepth++;
        FireInstant((w / total) * p);
        instantDepth--;
        model->SetState(saved);
    }
}

void printstate(char* state, int length) {
    std::cout << "STATEVECTOR=" << std::endl;
    for (int i = 0; i < length; i++) {
        std::cout << static_cast<int>(static_cast<signed char>(state[i])) << " ";
        if ((i + 1) % 20 == 0)
            std::cout << std::endl;
    }
    std::cout << std::endl;
}
