#include "tests/models/det_model/det_systemSAN.h"

#include "distributions/UserDistributions.h"
#include "tests/models/det_model/det_studyRangeStudy.h"

det_systemSAN::det_systemSAN() {
    recoverGroup.initialize(2, "recoverGroup");
    recoverGroup.appendGroup(&recover_case1);
    recoverGroup.appendGroup(&recover_case2);

    work = new Place("work", 1);
    broken = new Place("broken", 0);
    checked = new Place("checked", 0);
    slow = new Place("slow", 0);

    BaseStateVariableClass* InitialPlaces[4] = {work, broken, checked, slow};
    Activity* InitialActionList[5] = {&reboot, &crash, &drift, &recover_case1, &recover_case2};
    BaseGroupClass* InitialGroupList[4] = {&reboot, &crash, &drift, &recoverGroup};

    initializeSANModelNow("det_system", 4, InitialPlaces, 0, nullptr, 5, InitialActionList, 4,
                          InitialGroupList);

    reboot.broken = static_cast<Place*>(Places[1]);
    reboot.work = static_cast<Place*>(Places[0]);
    crash.work = static_cast<Place*>(Places[0]);
    crash.broken = static_cast<Place*>(Places[1]);
    drift.work = static_cast<Place*>(Places[0]);
    drift.slow = static_cast<Place*>(Places[3]);
    recover_case1.slow = static_cast<Place*>(Places[3]);
    recover_case1.work = static_cast<Place*>(Places[0]);
    recover_case2.slow = static_cast<Place*>(Places[3]);
    recover_case2.checked = static_cast<Place*>(Places[2]);

    AddAffectArc(broken, &reboot);
    AddAffectArc(work, &reboot);
    AddAffectArc(work, &crash);
    AddAffectArc(broken, &crash);
    AddAffectArc(work, &drift);
    AddAffectArc(slow, &drift);
    AddAffectArc(slow, &recover_case1);
    AddAffectArc(work, &recover_case1);
    AddAffectArc(slow, &recover_case2);
    AddAffectArc(checked, &recover_case2);

    AddEnableArc(broken, &reboot);
    AddEnableArc(work, &crash);
    AddEnableArc(work, &drift);
    AddEnableArc(slow, &recover_case1);
    AddEnableArc(slow, &recover_case2);

    for (int n = 0; n < 5; n++)
        InitialActionList[n]->LinkVariables();
}

det_systemSAN::~det_systemSAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}

// ---------------------------------------------------------------- reboot

det_systemSAN::rebootActivity::rebootActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("reboot", 0, Deterministic, DefaultPolicy, 2, 1, false);
}

det_systemSAN::rebootActivity::~rebootActivity() {
    delete[] TheDistributionParameters;
}

void det_systemSAN::rebootActivity::LinkVariables() {
    broken_Mark = broken->Value;
    broken->addReference(&broken_Mark, nullptr);
    work_Mark = work->Value;
    work->addReference(&work_Mark, nullptr);
}

bool det_systemSAN::rebootActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*broken_Mark > 0);
    return CurrentlyEnabled;
}

double det_systemSAN::rebootActivity::Weight() {
    return 1;
}

double det_systemSAN::rebootActivity::Rate() {
    return 0;
}

bool det_systemSAN::rebootActivity::ReactivationPredicate() {
    return false;
}

bool det_systemSAN::rebootActivity::ReactivationFunction() {
    return false;
}

double det_systemSAN::rebootActivity::SampleDistribution() {
    return 0.00347;
}

double* det_systemSAN::rebootActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = 0.00347;
    return TheDistributionParameters;
}

int det_systemSAN::rebootActivity::Rank() {
    return 1;
}

BaseActionClass* det_systemSAN::rebootActivity::Fire() {
    *broken_Mark -= 1;
    *work_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- crash

det_systemSAN::crashActivity::crashActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("crash", 1, Exponential, DefaultPolicy, 2, 1, false);
}

det_systemSAN::crashActivity::~crashActivity() {
    delete[] TheDistributionParameters;
}

void det_systemSAN::crashActivity::LinkVariables() {
    work_Mark = work->Value;
    work->addReference(&work_Mark, nullptr);
    broken_Mark = broken->Value;
    broken->addReference(&broken_Mark, nullptr);
}

bool det_systemSAN::crashActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*work_Mark > 0);
    return CurrentlyEnabled;
}

double det_systemSAN::crashActivity::Weight() {
    return 1;
}

double det_systemSAN::crashActivity::Rate() {
    return 2.0;
}

bool det_systemSAN::crashActivity::ReactivationPredicate() {
    return false;
}

bool det_systemSAN::crashActivity::ReactivationFunction() {
    return false;
}

double det_systemSAN::crashActivity::SampleDistribution() {
    return TheDistribution->Exponential(2.0);
}

double* det_systemSAN::crashActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int det_systemSAN::crashActivity::Rank() {
    return 1;
}

BaseActionClass* det_systemSAN::crashActivity::Fire() {
    *work_Mark -= 1;
    *broken_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- drift

det_systemSAN::driftActivity::driftActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("drift", 2, Deterministic, DefaultPolicy, 2, 1, false);
}

det_systemSAN::driftActivity::~driftActivity() {
    delete[] TheDistributionParameters;
}

void det_systemSAN::driftActivity::LinkVariables() {
    work_Mark = work->Value;
    work->addReference(&work_Mark, nullptr);
    slow_Mark = slow->Value;
    slow->addReference(&slow_Mark, nullptr);
}

bool det_systemSAN::driftActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*work_Mark > 0 && use_slow > 0);
    return CurrentlyEnabled;
}

double det_systemSAN::driftActivity::Weight() {
    return 1;
}

double det_systemSAN::driftActivity::Rate() {
    return 0;
}

bool det_systemSAN::driftActivity::ReactivationPredicate() {
    return false;
}

bool det_systemSAN::driftActivity::ReactivationFunction() {
    return false;
}

double det_systemSAN::driftActivity::SampleDistribution() {
    return second_delay;
}

double* det_systemSAN::driftActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = second_delay;
    return TheDistributionParameters;
}

int det_systemSAN::driftActivity::Rank() {
    return 1;
}

BaseActionClass* det_systemSAN::driftActivity::Fire() {
    *work_Mark -= 1;
    *slow_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- recover_case1

det_systemSAN::recoverActivity_case1::recoverActivity_case1() {
    ActivityInitialize("recover_case1", 3, Instantaneous, DefaultPolicy, 2, 1, false);
}

det_systemSAN::recoverActivity_case1::~recoverActivity_case1() {}

void det_systemSAN::recoverActivity_case1::LinkVariables() {
    slow_Mark = slow->Value;
    slow->addReference(&slow_Mark, nullptr);
    work_Mark = work->Value;
    work->addReference(&work_Mark, nullptr);
}

bool det_systemSAN::recoverActivity_case1::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*slow_Mark > 0);
    return CurrentlyEnabled;
}

double det_systemSAN::recoverActivity_case1::Weight() {
    return 0.25;
}

double det_systemSAN::recoverActivity_case1::Rate() {
    return 0;
}

bool det_systemSAN::recoverActivity_case1::ReactivationPredicate() {
    return false;
}

bool det_systemSAN::recoverActivity_case1::ReactivationFunction() {
    return false;
}

double det_systemSAN::recoverActivity_case1::SampleDistribution() {
    return 0;
}

double* det_systemSAN::recoverActivity_case1::ReturnDistributionParameters() {
    return nullptr;
}

int det_systemSAN::recoverActivity_case1::Rank() {
    return 1;
}

BaseActionClass* det_systemSAN::recoverActivity_case1::Fire() {
    *slow_Mark -= 1;
    *work_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- recover_case2

det_systemSAN::recoverActivity_case2::recoverActivity_case2() {
    ActivityInitialize("recover_case2", 3, Instantaneous, DefaultPolicy, 2, 1, false);
}

det_systemSAN::recoverActivity_case2::~recoverActivity_case2() {}

void det_systemSAN::recoverActivity_case2::LinkVariables() {
    slow_Mark = slow->Value;
    slow->addReference(&slow_Mark, nullptr);
    checked_Mark = checked->Value;
    checked->addReference(&checked_Mark, nullptr);
}

bool det_systemSAN::recoverActivity_case2::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*slow_Mark > 0);
    return CurrentlyEnabled;
}

double det_systemSAN::recoverActivity_case2::Weight() {
    return 0.75;
}

double det_systemSAN::recoverActivity_case2::Rate() {
    return 0;
}

bool det_systemSAN::recoverActivity_case2::ReactivationPredicate() {
    return false;
}

bool det_systemSAN::recoverActivity_case2::ReactivationFunction() {
    return false;
}

double det_systemSAN::recoverActivity_case2::SampleDistribution() {
    return 0;
}

double* det_systemSAN::recoverActivity_case2::ReturnDistributionParameters() {
    return nullptr;
}

int det_systemSAN::recoverActivity_case2::Rank() {
    return 1;
}

BaseActionClass* det_systemSAN::recoverActivity_case2::Fire() {
    *slow_Mark -= 1;
    *checked_Mark += 1;
    return this;
}
