#include "cell4SAN.h"

#include "kanbanRangeStudy.h"
#include "distributions/UserDistributions.h"

cell4SAN::tredo4Activity::tredo4Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tredo4", 0, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell4SAN::tredo4Activity::~tredo4Activity() {
    delete[] TheDistributionParameters;
}

bool cell4SAN::tredo4Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pm4_Mark) > 0;
    return CurrentlyEnabled;
}

double cell4SAN::tredo4Activity::Weight() {
    return 1;
}

double cell4SAN::tredo4Activity::Rate() {
    return 0.33;
}

bool cell4SAN::tredo4Activity::ReactivationPredicate() {
    return false;
}

bool cell4SAN::tredo4Activity::ReactivationFunction() {
    return false;
}

double cell4SAN::tredo4Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.33);
}

double* cell4SAN::tredo4Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell4SAN::tredo4Activity::Fire() {
    (*pm4_Mark)--;
    (*pback4_Mark)++;
    return this;
}

int cell4SAN::tredo4Activity::Rank() {
    return 1;
}

void cell4SAN::tredo4Activity::LinkVariables() {
    pm4_Mark = pm4->Value;
    pm4->addReference(&pm4_Mark, nullptr);
    pback4_Mark = pback4->Value;
    pback4->addReference(&pback4_Mark, nullptr);
}

cell4SAN::tok4Activity::tok4Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tok4", 1, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell4SAN::tok4Activity::~tok4Activity() {
    delete[] TheDistributionParameters;
}

bool cell4SAN::tok4Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pm4_Mark) > 0;
    return CurrentlyEnabled;
}

double cell4SAN::tok4Activity::Weight() {
    return 1;
}

double cell4SAN::tok4Activity::Rate() {
    return 0.77;
}

bool cell4SAN::tok4Activity::ReactivationPredicate() {
    return false;
}

bool cell4SAN::tok4Activity::ReactivationFunction() {
    return false;
}

double cell4SAN::tok4Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.77);
}

double* cell4SAN::tok4Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell4SAN::tok4Activity::Fire() {
    (*pm4_Mark)--;
    (*pout4_Mark)++;
    return this;
}

int cell4SAN::tok4Activity::Rank() {
    return 1;
}

void cell4SAN::tok4Activity::LinkVariables() {
    pm4_Mark = pm4->Value;
    pm4->addReference(&pm4_Mark, nullptr);
    pout4_Mark = pout4->Value;
    pout4->addReference(&pout4_Mark, nullptr);
}

cell4SAN::tback4Activity::tback4Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tback4", 2, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell4SAN::tback4Activity::~tback4Activity() {
    delete[] TheDistributionParameters;
}

bool cell4SAN::tback4Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pback4_Mark) > 0;
    return CurrentlyEnabled;
}

double cell4SAN::tback4Activity::Weight() {
    return 1;
}

double cell4SAN::tback4Activity::Rate() {
    return 0.3;
}

bool cell4SAN::tback4Activity::ReactivationPredicate() {
    return false;
}

bool cell4SAN::tback4Activity::ReactivationFunction() {
    return false;
}

double cell4SAN::tback4Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.3);
}

double* cell4SAN::tback4Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell4SAN::tback4Activity::Fire() {
    (*pback4_Mark)--;
    (*pm4_Mark)++;
    return this;
}

int cell4SAN::tback4Activity::Rank() {
    return 1;
}

void cell4SAN::tback4Activity::LinkVariables() {
    pback4_Mark = pback4->Value;
    pback4->addReference(&pback4_Mark, nullptr);
    pm4_Mark = pm4->Value;
    pm4->addReference(&pm4_Mark, nullptr);
}

cell4SAN::tout4Activity::tout4Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tout4", 3, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell4SAN::tout4Activity::~tout4Activity() {
    delete[] TheDistributionParameters;
}

bool cell4SAN::tout4Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pout4_Mark) > 0;
    return CurrentlyEnabled;
}

double cell4SAN::tout4Activity::Weight() {
    return 1;
}

double cell4SAN::tout4Activity::Rate() {
    return 0.9;
}

bool cell4SAN::tout4Activity::ReactivationPredicate() {
    return false;
}

bool cell4SAN::tout4Activity::ReactivationFunction() {
    return false;
}

double cell4SAN::tout4Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.9);
}

double* cell4SAN::tout4Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell4SAN::tout4Activity::Fire() {
    (*pout4_Mark)--;
    (*pkan4_Mark)++;
    return this;
}

int cell4SAN::tout4Activity::Rank() {
    return 1;
}

void cell4SAN::tout4Activity::LinkVariables() {
    pout4_Mark = pout4->Value;
    pout4->addReference(&pout4_Mark, nullptr);
    pkan4_Mark = pkan4->Value;
    pkan4->addReference(&pkan4_Mark, nullptr);
}

cell4SAN::cell4SAN() {
    pm4 = new Place("pm4", 0);
    pback4 = new Place("pback4", 0);
    pkan4 = new Place("pkan4", N);
    pout4 = new Place("pout4", 0);
    BaseStateVariableClass* InitialPlaces[4] = {pm4, pback4, pkan4, pout4};
    Activity* InitialActionList[4] = {&tredo4, &tok4, &tback4, &tout4};
    BaseGroupClass* InitialGroupList[4] = {&tredo4, &tok4, &tback4, &tout4};
    initializeSANModelNow("cell4", 4, InitialPlaces, 0, nullptr, 4, InitialActionList, 4,
                          InitialGroupList);

    tredo4.pm4 = pm4;
    tredo4.pback4 = pback4;
    tok4.pm4 = pm4;
    tok4.pout4 = pout4;
    tback4.pback4 = pback4;
    tback4.pm4 = pm4;
    tout4.pout4 = pout4;
    tout4.pkan4 = pkan4;

    AddAffectArc(pm4, &tredo4);
    AddAffectArc(pback4, &tredo4);
    AddAffectArc(pm4, &tok4);
    AddAffectArc(pout4, &tok4);
    AddAffectArc(pback4, &tback4);
    AddAffectArc(pm4, &tback4);
    AddAffectArc(pout4, &tout4);
    AddAffectArc(pkan4, &tout4);
    AddEnableArc(pm4, &tredo4);
    AddEnableArc(pm4, &tok4);
    AddEnableArc(pback4, &tback4);
    AddEnableArc(pout4, &tout4);

    tredo4.LinkVariables();
    tok4.LinkVariables();
    tback4.LinkVariables();
    tout4.LinkVariables();
}

cell4SAN::~cell4SAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}
