#include "cell3SAN.h"

#include "kanbanRangeStudy.h"
#include "distributions/UserDistributions.h"

cell3SAN::tredo3Activity::tredo3Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tredo3", 0, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell3SAN::tredo3Activity::~tredo3Activity() {
    delete[] TheDistributionParameters;
}

bool cell3SAN::tredo3Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pm3_Mark) > 0;
    return CurrentlyEnabled;
}

double cell3SAN::tredo3Activity::Weight() {
    return 1;
}

double cell3SAN::tredo3Activity::Rate() {
    return 0.39;
}

bool cell3SAN::tredo3Activity::ReactivationPredicate() {
    return false;
}

bool cell3SAN::tredo3Activity::ReactivationFunction() {
    return false;
}

double cell3SAN::tredo3Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.39);
}

double* cell3SAN::tredo3Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell3SAN::tredo3Activity::Fire() {
    (*pm3_Mark)--;
    (*pback3_Mark)++;
    return this;
}

int cell3SAN::tredo3Activity::Rank() {
    return 1;
}

void cell3SAN::tredo3Activity::LinkVariables() {
    pm3_Mark = pm3->Value;
    pm3->addReference(&pm3_Mark, nullptr);
    pback3_Mark = pback3->Value;
    pback3->addReference(&pback3_Mark, nullptr);
}

cell3SAN::tok3Activity::tok3Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tok3", 1, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell3SAN::tok3Activity::~tok3Activity() {
    delete[] TheDistributionParameters;
}

bool cell3SAN::tok3Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pm3_Mark) > 0;
    return CurrentlyEnabled;
}

double cell3SAN::tok3Activity::Weight() {
    return 1;
}

double cell3SAN::tok3Activity::Rate() {
    return 0.91;
}

bool cell3SAN::tok3Activity::ReactivationPredicate() {
    return false;
}

bool cell3SAN::tok3Activity::ReactivationFunction() {
    return false;
}

double cell3SAN::tok3Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.91);
}

double* cell3SAN::tok3Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell3SAN::tok3Activity::Fire() {
    (*pm3_Mark)--;
    (*pout3_Mark)++;
    return this;
}

int cell3SAN::tok3Activity::Rank() {
    return 1;
}

void cell3SAN::tok3Activity::LinkVariables() {
    pm3_Mark = pm3->Value;
    pm3->addReference(&pm3_Mark, nullptr);
    pout3_Mark = pout3->Value;
    pout3->addReference(&pout3_Mark, nullptr);
}

cell3SAN::tback3Activity::tback3Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tback3", 2, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell3SAN::tback3Activity::~tback3Activity() {
    delete[] TheDistributionParameters;
}

bool cell3SAN::tback3Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pback3_Mark) > 0;
    return CurrentlyEnabled;
}

double cell3SAN::tback3Activity::Weight() {
    return 1;
}

double cell3SAN::tback3Activity::Rate() {
    return 0.3;
}

bool cell3SAN::tback3Activity::ReactivationPredicate() {
    return false;
}

bool cell3SAN::tback3Activity::ReactivationFunction() {
    return false;
}

double cell3SAN::tback3Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.3);
}

double* cell3SAN::tback3Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell3SAN::tback3Activity::Fire() {
    (*pback3_Mark)--;
    (*pm3_Mark)++;
    return this;
}

int cell3SAN::tback3Activity::Rank() {
    return 1;
}

void cell3SAN::tback3Activity::LinkVariables() {
    pback3_Mark = pback3->Value;
    pback3->addReference(&pback3_Mark, nullptr);
    pm3_Mark = pm3->Value;
    pm3->addReference(&pm3_Mark, nullptr);
}

cell3SAN::cell3SAN() {
    pm3 = new Place("pm3", 0);
    pback3 = new Place("pback3", 0);
    pkan3 = new Place("pkan3", N);
    pout3 = new Place("pout3", 0);
    BaseStateVariableClass* InitialPlaces[4] = {pm3, pback3, pkan3, pout3};
    Activity* InitialActionList[3] = {&tredo3, &tok3, &tback3};
    BaseGroupClass* InitialGroupList[3] = {&tredo3, &tok3, &tback3};
    initializeSANModelNow("cell3", 4, InitialPlaces, 0, nullptr, 3, InitialActionList, 3,
                          InitialGroupList);

    tredo3.pm3 = pm3;
    tredo3.pback3 = pback3;
    tok3.pm3 = pm3;
    tok3.pout3 = pout3;
    tback3.pback3 = pback3;
    tback3.pm3 = pm3;

    AddAffectArc(pm3, &tredo3);
    AddAffectArc(pback3, &tredo3);
    AddAffectArc(pm3, &tok3);
    AddAffectArc(pout3, &tok3);
    AddAffectArc(pback3, &tback3);
    AddAffectArc(pm3, &tback3);
    AddEnableArc(pm3, &tredo3);
    AddEnableArc(pm3, &tok3);
    AddEnableArc(pback3, &tback3);

    tredo3.LinkVariables();
    tok3.LinkVariables();
    tback3.LinkVariables();
}

cell3SAN::~cell3SAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}
