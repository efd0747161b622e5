// Exploration of models with deterministic activities. A deterministic firing is
// written as minus its branching probability next to the positive rates of the
// exponential firings, and the states enabling each delay go to the det file.
#include "generator/StateSpaceGen.h"

#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseGroupClass.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/TraceFileContainer.h"
#include "generator/HybridHash.h"
#include "generator/Reward.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

// Room for a count of up to 8 digits.
const char DeterministicCountPlaceholder[] = "        ";

} // namespace

void StateSpaceGen::GenStateSpaceDeterministic(char* stateSpaceFile, char* rewardFile,
                                               char* detFile) {
    std::ofstream det(detFile, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!det.is_open())
        Fatal(std::cerr, "Error: Could not open det file \n");
    std::ofstream out;
    if (TextChain()) {
        out.open(stateSpaceFile, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!out.is_open())
            Fatal(std::cerr, "Error: Could not open binary file dude\n"); // exact text
    }
    OpenChainFiles(out, nullptr);
    out << std::scientific;
    out.precision(10);
    det << std::scientific;
    det.precision(10);
    std::cout << std::scientific;

    OpenRewardFiles(rewardFile);

    if (TextChain())
        out << outputFileType << '\n' << DeterministicCountPlaceholder << '\n';
    uint32_t records = ExploreQueue(out, &StateSpaceGen::FindNextDeterministic, true);
    det.flush();

    bool binary = outputFileType == 2 || outputFileType == 4 || outputFileType == 6;
    detList.writeEnablingStates(det, binary ? BinaryOutput : TextOutput);

    bool ok = CloseChainFiles(out, records, DeterministicCountPlaceholder);
    ok = CheckClosed(det, "Error: Could not write det file") && ok;
    ok = CloseRewardRates(records) && ok;
    ok = WriteStates() && ok;
    ReleaseRunStorage();
    ok = CheckWritten(rewfile, "Error: Could not write reward file") && ok;
    if (!ok)
        EndProcess(1);
}

void StateSpaceGen::FindNextDeterministic(char* state) {
    LoadExplored(state);
    BeginImpulses();
    for (uint32_t i = 0; i < numTimedActions; i++) {
        BaseActionClass* a = timedActions[i];
        model->SetState(exploredState);
        if (!a->Enabled())
            continue;
        CheckCases(a);
        currentRate = groups[a->GroupID]->Probability(a);
        CheckProbability(a, currentRate);
        if (Tracing(1))
            trace->printf(1, "Enabled: %s", a->getName());
        if (a->DistributionType == Deterministic) {
            currentRate = -currentRate;
            double* parameters = a->ReturnDistributionParameters();
            double delay = parameters != nullptr ? parameters[0] : a->SampleDistribution();
            if (!(delay >= 0.0) || !std::isfinite(delay))
                BadValue(a, "delay", delay, "a delay must be a finite number of at least 0");
            detList.insertEnablingState(static_cast<int>(Find(exploredState)), delay);
        } else {
            const double rate = a->Rate();
            CheckRate(a, rate);
            currentRate = rate * currentRate;
        }
        if (Tracing(1))
            trace->printFireAction(a, 0.0);
        model->FireAction(nextState, a);
        if (impulses)
            EarnImpulses(currentRate, a);
        instantDepth = 0;
        FireInstantDet(1.0);
    }
}

void StateSpaceGen::FireInstantDet(double p) {
    if (instantDepth > MaxInstantDepth) {
        // exact text (it differs from the normal exploration's), matched by callers
        Fatal(std::cerr, "Error:  Maximum number of zero time transition firings exceeded(" +
                             std::to_string(MaxInstantDepth) +
                             ")\nPossible undetermined model\n"
                             "Please check the model and try again\n");
    }
    model->CurrentState(instantScratch);
    model->SetState(instantScratch);

    BaseActionClass** enabled = enabledSet + static_cast<size_t>(instantDepth) *
                                                 (numInstantActions > 0 ? numInstantActions : 1);
    int count = CollectEnabledInstant(enabled);
    if (count == 0) {
        // A negative value is a deterministic firing.
        SaveStableState(p * currentRate, Find(nextState));
        return;
    }
    if (count == 1) {
        CheckCases(enabled[0]);
        double q = groups[enabled[0]->GroupID]->Probability(enabled[0]);
        CheckProbability(enabled[0], q);
        if (Tracing(1))
            trace->printFireAction(enabled[0], 0.0);
        model->FireAction(nextState, enabled[0]);
        if (impulses)
            EarnImpulses(q * p * currentRate, enabled[0]);
        instantDepth++;
        FireInstantDet(q * p);
        instantDepth--;
        return;
    }

    int candidates = CollectTopRank(enabled, count);
    char* saved = branchStates + static_cast<size_t>(instantDepth) * stateSize;
    model->CurrentState(saved);
    for (int i = 0; i < candidates; i++) {
        BaseActionClass* a = enabled[i];
        CheckCases(a);
        double q = groups[a->GroupID]->Probability(a);
        CheckProbability(a, q);
        if (Tracing(1))
            trace->printFireAction(a, 0.0);
        model->FireAction(nextState, a);
        if (impulses)
            EarnImpulses(q * p * currentRate, a);
        instantDepth++;
        FireInstantDet(q * p);
        instantDepth--;
        model->SetState(saved);
    }
}
