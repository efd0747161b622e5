#include "tests/models/erlang_model/erlang_systemSAN.h"

#include "distributions/UserDistributions.h"
#include "tests/models/erlang_model/erlang_studyRangeStudy.h"

erlang_systemSAN::erlang_systemSAN() {
    repairGroup.initialize(2, "repairGroup");
    repairGroup.appendGroup(&repair_case1);
    repairGroup.appendGroup(&repair_case2);

    up = new Place("up", 2);
    down = new Place("down", 0);
    spare = new Place("spare", 0);

    BaseStateVariableClass* InitialPlaces[3] = {up, down, spare};
    Activity* InitialActionList[4] = {&fail, &repair_case1, &repair_case2, &restore};
    BaseGroupClass* InitialGroupList[3] = {&fail, &repairGroup, &restore};

    initializeSANModelNow("erlang_system", 3, InitialPlaces, 0, nullptr, 4, InitialActionList, 3,
                          InitialGroupList);

    fail.up = static_cast<Place*>(Places[0]);
    fail.down = static_cast<Place*>(Places[1]);
    repair_case1.down = static_cast<Place*>(Places[1]);
    repair_case1.up = static_cast<Place*>(Places[0]);
    repair_case2.down = static_cast<Place*>(Places[1]);
    repair_case2.spare = static_cast<Place*>(Places[2]);
    restore.spare = static_cast<Place*>(Places[2]);
    restore.up = static_cast<Place*>(Places[0]);

    AddAffectArc(up, &fail);
    AddAffectArc(down, &fail);
    AddAffectArc(down, &repair_case1);
    AddAffectArc(up, &repair_case1);
    AddAffectArc(down, &repair_case2);
    AddAffectArc(spare, &repair_case2);
    AddAffectArc(spare, &restore);
    AddAffectArc(up, &restore);

    AddEnableArc(up, &fail);
    AddEnableArc(down, &repair_case1);
    AddEnableArc(down, &repair_case2);
    AddEnableArc(spare, &restore);

    for (int n = 0; n < 4; n++)
        InitialActionList[n]->LinkVariables();
}

erlang_systemSAN::~erlang_systemSAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}

// ---------------------------------------------------------------- fail

erlang_systemSAN::failActivity::failActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("fail", 0, Exponential, DefaultPolicy, 2, 1, false);
}

erlang_systemSAN::failActivity::~failActivity() {
    delete[] TheDistributionParameters;
}

void erlang_systemSAN::failActivity::LinkVariables() {
    up_Mark = up->Value;
    up->addReference(&up_Mark, nullptr);
    down_Mark = down->Value;
    down->addReference(&down_Mark, nullptr);
}

bool erlang_systemSAN::failActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*up_Mark > 0);
    return CurrentlyEnabled;
}

double erlang_systemSAN::failActivity::Weight() {
    return 1;
}

double erlang_systemSAN::failActivity::Rate() {
    return 1.0;
}

bool erlang_systemSAN::failActivity::ReactivationPredicate() {
    return false;
}

bool erlang_systemSAN::failActivity::ReactivationFunction() {
    return false;
}

double erlang_systemSAN::failActivity::SampleDistribution() {
    return TheDistribution->Exponential(1.0);
}

double* erlang_systemSAN::failActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int erlang_systemSAN::failActivity::Rank() {
    return 1;
}

BaseActionClass* erlang_systemSAN::failActivity::Fire() {
    *up_Mark -= 1;
    *down_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- repair_case1

erlang_systemSAN::repairActivity_case1::repairActivity_case1() {
    TheDistributionParameters = new double[2];
    ActivityInitialize("repair_case1", 1, Erlang, DefaultPolicy, 2, 1, false);
}

erlang_systemSAN::repairActivity_case1::~repairActivity_case1() {
    delete[] TheDistributionParameters;
}

void erlang_systemSAN::repairActivity_case1::LinkVariables() {
    down_Mark = down->Value;
    down->addReference(&down_Mark, nullptr);
    up_Mark = up->Value;
    up->addReference(&up_Mark, nullptr);
}

bool erlang_systemSAN::repairActivity_case1::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*down_Mark > 0);
    return CurrentlyEnabled;
}

double erlang_systemSAN::repairActivity_case1::Weight() {
    return 0.25;
}

double erlang_systemSAN::repairActivity_case1::Rate() {
    return repair_rate;
}

bool erlang_systemSAN::repairActivity_case1::ReactivationPredicate() {
    return false;
}

bool erlang_systemSAN::repairActivity_case1::ReactivationFunction() {
    return false;
}

double erlang_systemSAN::repairActivity_case1::SampleDistribution() {
    return TheDistribution->Erlang(2, 2 / repair_rate);
}

double* erlang_systemSAN::repairActivity_case1::ReturnDistributionParameters() {
    TheDistributionParameters[0] = ErlangParamM();
    TheDistributionParameters[1] = Rate();
    return TheDistributionParameters;
}

double erlang_systemSAN::repairActivity_case1::ErlangParamM() {
    return 2;
}

int erlang_systemSAN::repairActivity_case1::Rank() {
    return 1;
}

BaseActionClass* erlang_systemSAN::repairActivity_case1::Fire() {
    *down_Mark -= 1;
    *up_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- repair_case2

erlang_systemSAN::repairActivity_case2::repairActivity_case2() {
    TheDistributionParameters = new double[2];
    ActivityInitialize("repair_case2", 1, Erlang, DefaultPolicy, 2, 1, false);
}

erlang_systemSAN::repairActivity_case2::~repairActivity_case2() {
    delete[] TheDistributionParameters;
}

void erlang_systemSAN::repairActivity_case2::LinkVariables() {
    down_Mark = down->Value;
    down->addReference(&down_Mark, nullptr);
    spare_Mark = spare->Value;
    spare->addReference(&spare_Mark, nullptr);
}

bool erlang_systemSAN::repairActivity_case2::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*down_Mark > 0);
    return CurrentlyEnabled;
}

double erlang_systemSAN::repairActivity_case2::Weight() {
    return 0.75;
}

double erlang_systemSAN::repairActivity_case2::Rate() {
    return repair_rate;
}

bool erlang_systemSAN::repairActivity_case2::ReactivationPredicate() {
    return false;
}

bool erlang_systemSAN::repairActivity_case2::ReactivationFunction() {
    return false;
}

double erlang_systemSAN::repairActivity_case2::SampleDistribution() {
    return TheDistribution->Erlang(2, 2 / repair_rate);
}

double* erlang_systemSAN::repairActivity_case2::ReturnDistributionParameters() {
    TheDistributionParameters[0] = ErlangParamM();
    TheDistributionParameters[1] = Rate();
    return TheDistributionParameters;
}

double erlang_systemSAN::repairActivity_case2::ErlangParamM() {
    return 2;
}

int erlang_systemSAN::repairActivity_case2::Rank() {
    return 1;
}

BaseActionClass* erlang_systemSAN::repairActivity_case2::Fire() {
    *down_Mark -= 1;
    *spare_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- restore

erlang_systemSAN::restoreActivity::restoreActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("restore", 2, Exponential, DefaultPolicy, 2, 1, false);
}

erlang_systemSAN::restoreActivity::~restoreActivity() {
    delete[] TheDistributionParameters;
}

void erlang_systemSAN::restoreActivity::LinkVariables() {
    spare_Mark = spare->Value;
    spare->addReference(&spare_Mark, nullptr);
    up_Mark = up->Value;
    up->addReference(&up_Mark, nullptr);
}

bool erlang_systemSAN::restoreActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*spare_Mark > 0);
    return CurrentlyEnabled;
}

double erlang_systemSAN::restoreActivity::Weight() {
    return 1;
}

double erlang_systemSAN::restoreActivity::Rate() {
    return 0.5;
}

bool erlang_systemSAN::restoreActivity::ReactivationPredicate() {
    return false;
}

bool erlang_systemSAN::restoreActivity::ReactivationFunction() {
    return false;
}

double erlang_systemSAN::restoreActivity::SampleDistribution() {
    return TheDistribution->Exponential(0.5);
}

double* erlang_systemSAN::restoreActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int erlang_systemSAN::restoreActivity::Rank() {
    return 1;
}

BaseActionClass* erlang_systemSAN::restoreActivity::Fire() {
    *spare_Mark -= 1;
    *up_Mark += 1;
    return this;
}
