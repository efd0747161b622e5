#include "cell2SAN.h"

#include "kanbanRangeStudy.h"
#include "distributions/UserDistributions.h"

cell2SAN::tredo2Activity::tredo2Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tredo2", 0, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell2SAN::tredo2Activity::~tredo2Activity() {
    delete[] TheDistributionParameters;
}

bool cell2SAN::tredo2Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pm2_Mark) > 0;
    return CurrentlyEnabled;
}

double cell2SAN::tredo2Activity::Weight() {
    return 1;
}

double cell2SAN::tredo2Activity::Rate() {
    return 0.42;
}

bool cell2SAN::tredo2Activity::ReactivationPredicate() {
    return false;
}

bool cell2SAN::tredo2Activity::ReactivationFunction() {
    return false;
}

double cell2SAN::tredo2Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.42);
}

double* cell2SAN::tredo2Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell2SAN::tredo2Activity::Fire() {
    (*pm2_Mark)--;
    (*pback2_Mark)++;
    return this;
}

int cell2SAN::tredo2Activity::Rank() {
    return 1;
}

void cell2SAN::tredo2Activity::LinkVariables() {
    pm2_Mark = pm2->Value;
    pm2->addReference(&pm2_Mark, nullptr);
    pback2_Mark = pback2->Value;
    pback2->addReference(&pback2_Mark, nullptr);
}

cell2SAN::tok2Activity::tok2Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tok2", 1, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell2SAN::tok2Activity::~tok2Activity() {
    delete[] TheDistributionParameters;
}

bool cell2SAN::tok2Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pm2_Mark) > 0;
    return CurrentlyEnabled;
}

double cell2SAN::tok2Activity::Weight() {
    return 1;
}

double cell2SAN::tok2Activity::Rate() {
    return 0.98;
}

bool cell2SAN::tok2Activity::ReactivationPredicate() {
    return false;
}

bool cell2SAN::tok2Activity::ReactivationFunction() {
    return false;
}

double cell2SAN::tok2Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.98);
}

double* cell2SAN::tok2Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell2SAN::tok2Activity::Fire() {
    (*pm2_Mark)--;
    (*pout2_Mark)++;
    return this;
}

int cell2SAN::tok2Activity::Rank() {
    return 1;
}

void cell2SAN::tok2Activity::LinkVariables() {
    pm2_Mark = pm2->Value;
    pm2->addReference(&pm2_Mark, nullptr);
    pout2_Mark = pout2->Value;
    pout2->addReference(&pout2_Mark, nullptr);
}

cell2SAN::tback2Activity::tback2Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tback2", 2, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell2SAN::tback2Activity::~tback2Activity() {
    delete[] TheDistributionParameters;
}

bool cell2SAN::tback2Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pback2_Mark) > 0;
    return CurrentlyEnabled;
}

double cell2SAN::tback2Activity::Weight() {
    return 1;
}

double cell2SAN::tback2Activity::Rate() {
    return 0.3;
}

bool cell2SAN::tback2Activity::ReactivationPredicate() {
    return false;
}

bool cell2SAN::tback2Activity::ReactivationFunction() {
    return false;
}

double cell2SAN::tback2Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.3);
}

double* cell2SAN::tback2Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell2SAN::tback2Activity::Fire() {
    (*pback2_Mark)--;
    (*pm2_Mark)++;
    return this;
}

int cell2SAN::tback2Activity::Rank() {
    return 1;
}

void cell2SAN::tback2Activity::LinkVariables() {
    pback2_Mark = pback2->Value;
    pback2->addReference(&pback2_Mark, nullptr);
    pm2_Mark = pm2->Value;
    pm2->addReference(&pm2_Mark, nullptr);
}

cell2SAN::tsynch23_4Activity::tsynch23_4Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tsynch23_4", 3, Exponential, DefaultPolicy, 6, 3, false);
    ConstantRate = true;
}

cell2SAN::tsynch23_4Activity::~tsynch23_4Activity() {
    delete[] TheDistributionParameters;
}

bool cell2SAN::tsynch23_4Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pout2_Mark) > 0 && (*pout3_Mark) > 0 && (*pkan4_Mark) > 0;
    return CurrentlyEnabled;
}

double cell2SAN::tsynch23_4Activity::Weight() {
    return 1;
}

double cell2SAN::tsynch23_4Activity::Rate() {
    return 0.5;
}

bool cell2SAN::tsynch23_4Activity::ReactivationPredicate() {
    return false;
}

bool cell2SAN::tsynch23_4Activity::ReactivationFunction() {
    return false;
}

double cell2SAN::tsynch23_4Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.5);
}

double* cell2SAN::tsynch23_4Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell2SAN::tsynch23_4Activity::Fire() {
    (*pout2_Mark)--;
    (*pout3_Mark)--;
    (*pkan4_Mark)--;
    (*pkan2_Mark)++;
    (*pkan3_Mark)++;
    (*pm4_Mark)++;
    return this;
}

int cell2SAN::tsynch23_4Activity::Rank() {
    return 1;
}

void cell2SAN::tsynch23_4Activity::LinkVariables() {
    pout2_Mark = pout2->Value;
    pout2->addReference(&pout2_Mark, nullptr);
    pout3_Mark = pout3->Value;
    pout3->addReference(&pout3_Mark, nullptr);
    pkan4_Mark = pkan4->Value;
    pkan4->addReference(&pkan4_Mark, nullptr);
    pkan2_Mark = pkan2->Value;
    pkan2->addReference(&pkan2_Mark, nullptr);
    pkan3_Mark = pkan3->Value;
    pkan3->addReference(&pkan3_Mark, nullptr);
    pm4_Mark = pm4->Value;
    pm4->addReference(&pm4_Mark, nullptr);
}

cell2SAN::cell2SAN() {
    pm2 = new Place("pm2", 0);
    pback2 = new Place("pback2", 0);
    pkan2 = new Place("pkan2", N);
    pout2 = new Place("pout2", 0);
    pout3 = new Place("pout3", 0);
    pkan3 = new Place("pkan3", N);
    pm4 = new Place("pm4", 0);
    pkan4 = new Place("pkan4", N);
    BaseStateVariableClass* InitialPlaces[8] = {pm2,   pback2, pkan2, pout2,
                                                pout3, pkan3,  pm4,   pkan4};
    Activity* InitialActionList[4] = {&tredo2, &tok2, &tback2, &tsynch23_4};
    BaseGroupClass* InitialGroupList[4] = {&tredo2, &tok2, &tback2, &tsynch23_4};
    initializeSANModelNow("cell2", 8, InitialPlaces, 0, nullptr, 4, InitialActionList, 4,
                          InitialGroupList);

    tredo2.pm2 = pm2;
    tredo2.pback2 = pback2;
    tok2.pm2 = pm2;
    tok2.pout2 = pout2;
    tback2.pback2 = pback2;
    tback2.pm2 = pm2;
    tsynch23_4.pout2 = pout2;
    tsynch23_4.pout3 = pout3;
    tsynch23_4.pkan4 = pkan4;
    tsynch23_4.pkan2 = pkan2;
    tsynch23_4.pkan3 = pkan3;
    tsynch23_4.pm4 = pm4;

    AddAffectArc(pm2, &tredo2);
    AddAffectArc(pback2, &tredo2);
    AddAffectArc(pm2, &tok2);
    AddAffectArc(pout2, &tok2);
    AddAffectArc(pback2, &tback2);
    AddAffectArc(pm2, &tback2);
    AddAffectArc(pout2, &tsynch23_4);
    AddAffectArc(pout3, &tsynch23_4);
    AddAffectArc(pkan4, &tsynch23_4);
    AddAffectArc(pkan2, &tsynch23_4);
    AddAffectArc(pkan3, &tsynch23_4);
    AddAffectArc(pm4, &tsynch23_4);
    AddEnableArc(pm2, &tredo2);
    AddEnableArc(pm2, &tok2);
    AddEnableArc(pback2, &tback2);
    AddEnableArc(pout2, &tsynch23_4);
    AddEnableArc(pout3, &tsynch23_4);
    AddEnableArc(pkan4, &tsynch23_4);

    tredo2.LinkVariables();
    tok2.LinkVariables();
    tback2.LinkVariables();
    tsynch23_4.LinkVariables();
}

cell2SAN::~cell2SAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}
