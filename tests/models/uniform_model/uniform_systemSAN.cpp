#include "tests/models/uniform_model/uniform_systemSAN.h"

#include "distributions/UserDistributions.h"
#include "tests/models/uniform_model/uniform_studyRangeStudy.h"

uniform_systemSAN::uniform_systemSAN() {
    p = new Place("p", 1);

    BaseStateVariableClass* InitialPlaces[1] = {p};
    Activity* InitialActionList[2] = {&tick, &spread};
    BaseGroupClass* InitialGroupList[2] = {&tick, &spread};

    initializeSANModelNow("uniform_system", 1, InitialPlaces, 0, nullptr, 2, InitialActionList, 2,
                          InitialGroupList);

    tick.p = static_cast<Place*>(Places[0]);
    spread.p = static_cast<Place*>(Places[0]);

    AddAffectArc(p, &tick);
    AddAffectArc(p, &spread);

    AddEnableArc(p, &tick);
    AddEnableArc(p, &spread);

    for (int n = 0; n < 2; n++)
        InitialActionList[n]->LinkVariables();
}

uniform_systemSAN::~uniform_systemSAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}

// ---------------------------------------------------------------- tick

uniform_systemSAN::tickActivity::tickActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tick", 0, Exponential, DefaultPolicy, 1, 1, false);
}

uniform_systemSAN::tickActivity::~tickActivity() {
    delete[] TheDistributionParameters;
}

void uniform_systemSAN::tickActivity::LinkVariables() {
    p_Mark = p->Value;
    p->addReference(&p_Mark, nullptr);
}

bool uniform_systemSAN::tickActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*p_Mark > 0);
    return CurrentlyEnabled;
}

double uniform_systemSAN::tickActivity::Weight() {
    return 1;
}

double uniform_systemSAN::tickActivity::Rate() {
    return 1.0;
}

bool uniform_systemSAN::tickActivity::ReactivationPredicate() {
    return false;
}

bool uniform_systemSAN::tickActivity::ReactivationFunction() {
    return false;
}

double uniform_systemSAN::tickActivity::SampleDistribution() {
    return TheDistribution->Exponential(1.0);
}

double* uniform_systemSAN::tickActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int uniform_systemSAN::tickActivity::Rank() {
    return 1;
}

BaseActionClass* uniform_systemSAN::tickActivity::Fire() {
    *p_Mark -= 1;
    return this;
}

// ---------------------------------------------------------------- spread

uniform_systemSAN::spreadActivity::spreadActivity() {
    TheDistributionParameters = new double[2];
    ActivityInitialize("spread", 1, Distribution(5), DefaultPolicy, 1, 1, false);
}

uniform_systemSAN::spreadActivity::~spreadActivity() {
    delete[] TheDistributionParameters;
}

void uniform_systemSAN::spreadActivity::LinkVariables() {
    p_Mark = p->Value;
    p->addReference(&p_Mark, nullptr);
}

bool uniform_systemSAN::spreadActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*p_Mark > 0);
    return CurrentlyEnabled;
}

double uniform_systemSAN::spreadActivity::Weight() {
    return 1;
}

double uniform_systemSAN::spreadActivity::Rate() {
    return 0;
}

bool uniform_systemSAN::spreadActivity::ReactivationPredicate() {
    return false;
}

bool uniform_systemSAN::spreadActivity::ReactivationFunction() {
    return false;
}

double uniform_systemSAN::spreadActivity::SampleDistribution() {
    return TheDistribution->Uniform(lower_bound, lower_bound + 1.0);
}

double* uniform_systemSAN::spreadActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = lower_bound;
    TheDistributionParameters[1] = lower_bound + 1.0;
    return TheDistributionParameters;
}

int uniform_systemSAN::spreadActivity::Rank() {
    return 1;
}

BaseActionClass* uniform_systemSAN::spreadActivity::Fire() {
    *p_Mark -= 1;
    return this;
}
