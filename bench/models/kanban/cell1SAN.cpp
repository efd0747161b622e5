#include "cell1SAN.h"

#include "kanbanRangeStudy.h"
#include "distributions/UserDistributions.h"

cell1SAN::tin1Activity::tin1Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tin1", 0, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell1SAN::tin1Activity::~tin1Activity() {
    delete[] TheDistributionParameters;
}

bool cell1SAN::tin1Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pkan1_Mark) > 0;
    return CurrentlyEnabled;
}

double cell1SAN::tin1Activity::Weight() {
    return 1;
}

double cell1SAN::tin1Activity::Rate() {
    return 1.0;
}

bool cell1SAN::tin1Activity::ReactivationPredicate() {
    return false;
}

bool cell1SAN::tin1Activity::ReactivationFunction() {
    return false;
}

double cell1SAN::tin1Activity::SampleDistribution() {
    return TheDistribution->Exponential(1.0);
}

double* cell1SAN::tin1Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell1SAN::tin1Activity::Fire() {
    (*pkan1_Mark)--;
    (*pm1_Mark)++;
    return this;
}

int cell1SAN::tin1Activity::Rank() {
    return 1;
}

void cell1SAN::tin1Activity::LinkVariables() {
    pkan1_Mark = pkan1->Value;
    pkan1->addReference(&pkan1_Mark, nullptr);
    pm1_Mark = pm1->Value;
    pm1->addReference(&pm1_Mark, nullptr);
}

cell1SAN::tredo1Activity::tredo1Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tredo1", 1, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell1SAN::tredo1Activity::~tredo1Activity() {
    delete[] TheDistributionParameters;
}

bool cell1SAN::tredo1Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pm1_Mark) > 0;
    return CurrentlyEnabled;
}

double cell1SAN::tredo1Activity::Weight() {
    return 1;
}

double cell1SAN::tredo1Activity::Rate() {
    return 0.36;
}

bool cell1SAN::tredo1Activity::ReactivationPredicate() {
    return false;
}

bool cell1SAN::tredo1Activity::ReactivationFunction() {
    return false;
}

double cell1SAN::tredo1Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.36);
}

double* cell1SAN::tredo1Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell1SAN::tredo1Activity::Fire() {
    (*pm1_Mark)--;
    (*pback1_Mark)++;
    return this;
}

int cell1SAN::tredo1Activity::Rank() {
    return 1;
}

void cell1SAN::tredo1Activity::LinkVariables() {
    pm1_Mark = pm1->Value;
    pm1->addReference(&pm1_Mark, nullptr);
    pback1_Mark = pback1->Value;
    pback1->addReference(&pback1_Mark, nullptr);
}

cell1SAN::tok1Activity::tok1Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tok1", 2, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell1SAN::tok1Activity::~tok1Activity() {
    delete[] TheDistributionParameters;
}

bool cell1SAN::tok1Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pm1_Mark) > 0;
    return CurrentlyEnabled;
}

double cell1SAN::tok1Activity::Weight() {
    return 1;
}

double cell1SAN::tok1Activity::Rate() {
    return 0.84;
}

bool cell1SAN::tok1Activity::ReactivationPredicate() {
    return false;
}

bool cell1SAN::tok1Activity::ReactivationFunction() {
    return false;
}

double cell1SAN::tok1Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.84);
}

double* cell1SAN::tok1Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell1SAN::tok1Activity::Fire() {
    (*pm1_Mark)--;
    (*pout1_Mark)++;
    return this;
}

int cell1SAN::tok1Activity::Rank() {
    return 1;
}

void cell1SAN::tok1Activity::LinkVariables() {
    pm1_Mark = pm1->Value;
    pm1->addReference(&pm1_Mark, nullptr);
    pout1_Mark = pout1->Value;
    pout1->addReference(&pout1_Mark, nullptr);
}

cell1SAN::tback1Activity::tback1Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tback1", 3, Exponential, DefaultPolicy, 2, 1, false);
    ConstantRate = true;
}

cell1SAN::tback1Activity::~tback1Activity() {
    delete[] TheDistributionParameters;
}

bool cell1SAN::tback1Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pback1_Mark) > 0;
    return CurrentlyEnabled;
}

double cell1SAN::tback1Activity::Weight() {
    return 1;
}

double cell1SAN::tback1Activity::Rate() {
    return 0.3;
}

bool cell1SAN::tback1Activity::ReactivationPredicate() {
    return false;
}

bool cell1SAN::tback1Activity::ReactivationFunction() {
    return false;
}

double cell1SAN::tback1Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.3);
}

double* cell1SAN::tback1Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell1SAN::tback1Activity::Fire() {
    (*pback1_Mark)--;
    (*pm1_Mark)++;
    return this;
}

int cell1SAN::tback1Activity::Rank() {
    return 1;
}

void cell1SAN::tback1Activity::LinkVariables() {
    pback1_Mark = pback1->Value;
    pback1->addReference(&pback1_Mark, nullptr);
    pm1_Mark = pm1->Value;
    pm1->addReference(&pm1_Mark, nullptr);
}

cell1SAN::tsynch1_23Activity::tsynch1_23Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tsynch1_23", 4, Exponential, DefaultPolicy, 6, 3, false);
    ConstantRate = true;
}

cell1SAN::tsynch1_23Activity::~tsynch1_23Activity() {
    delete[] TheDistributionParameters;
}

bool cell1SAN::tsynch1_23Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*pout1_Mark) > 0 && (*pkan2_Mark) > 0 && (*pkan3_Mark) > 0;
    return CurrentlyEnabled;
}

double cell1SAN::tsynch1_23Activity::Weight() {
    return 1;
}

double cell1SAN::tsynch1_23Activity::Rate() {
    return 0.4;
}

bool cell1SAN::tsynch1_23Activity::ReactivationPredicate() {
    return false;
}

bool cell1SAN::tsynch1_23Activity::ReactivationFunction() {
    return false;
}

double cell1SAN::tsynch1_23Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.4);
}

double* cell1SAN::tsynch1_23Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* cell1SAN::tsynch1_23Activity::Fire() {
    (*pout1_Mark)--;
    (*pkan2_Mark)--;
    (*pkan3_Mark)--;
    (*pkan1_Mark)++;
    (*pm2_Mark)++;
    (*pm3_Mark)++;
    return this;
}

int cell1SAN::tsynch1_23Activity::Rank() {
    return 1;
}

void cell1SAN::tsynch1_23Activity::LinkVariables() {
    pout1_Mark = pout1->Value;
    pout1->addReference(&pout1_Mark, nullptr);
    pkan2_Mark = pkan2->Value;
    pkan2->addReference(&pkan2_Mark, nullptr);
    pkan3_Mark = pkan3->Value;
    pkan3->addReference(&pkan3_Mark, nullptr);
    pkan1_Mark = pkan1->Value;
    pkan1->addReference(&pkan1_Mark, nullptr);
    pm2_Mark = pm2->Value;
    pm2->addReference(&pm2_Mark, nullptr);
    pm3_Mark = pm3->Value;
    pm3->addReference(&pm3_Mark, nullptr);
}

cell1SAN::cell1SAN() {
    pm1 = new Place("pm1", 0);
    pback1 = new Place("pback1", 0);
    pkan1 = new Place("pkan1", N);
    pout1 = new Place("pout1", 0);
    pm2 = new Place("pm2", 0);
    pkan2 = new Place("pkan2", N);
    pm3 = new Place("pm3", 0);
    pkan3 = new Place("pkan3", N);
    BaseStateVariableClass* InitialPlaces[8] = {pm1, pback1, pkan1, pout1, pm2, pkan2, pm3, pkan3};
    Activity* InitialActionList[5] = {&tin1, &tredo1, &tok1, &tback1, &tsynch1_23};
    BaseGroupClass* InitialGroupList[5] = {&tin1, &tredo1, &tok1, &tback1, &tsynch1_23};
    initializeSANModelNow("cell1", 8, InitialPlaces, 0, nullptr, 5, InitialActionList, 5,
                          InitialGroupList);

    tin1.pkan1 = pkan1;
    tin1.pm1 = pm1;
    tredo1.pm1 = pm1;
    tredo1.pback1 = pback1;
    tok1.pm1 = pm1;
    tok1.pout1 = pout1;
    tback1.pback1 = pback1;
    tback1.pm1 = pm1;
    tsynch1_23.pout1 = pout1;
    tsynch1_23.pkan2 = pkan2;
    tsynch1_23.pkan3 = pkan3;
    tsynch1_23.pkan1 = pkan1;
    tsynch1_23.pm2 = pm2;
    tsynch1_23.pm3 = pm3;

    AddAffectArc(pkan1, &tin1);
    AddAffectArc(pm1, &tin1);
    AddAffectArc(pm1, &tredo1);
    AddAffectArc(pback1, &tredo1);
    AddAffectArc(pm1, &tok1);
    AddAffectArc(pout1, &tok1);
    AddAffectArc(pback1, &tback1);
    AddAffectArc(pm1, &tback1);
    AddAffectArc(pout1, &tsynch1_23);
    AddAffectArc(pkan2, &tsynch1_23);
    AddAffectArc(pkan3, &tsynch1_23);
    AddAffectArc(pkan1, &tsynch1_23);
    AddAffectArc(pm2, &tsynch1_23);
    AddAffectArc(pm3, &tsynch1_23);
    AddEnableArc(pkan1, &tin1);
    AddEnableArc(pm1, &tredo1);
    AddEnableArc(pm1, &tok1);
    AddEnableArc(pback1, &tback1);
    AddEnableArc(pout1, &tsynch1_23);
    AddEnableArc(pkan2, &tsynch1_23);
    AddEnableArc(pkan3, &tsynch1_23);

    tin1.LinkVariables();
    tredo1.LinkVariables();
    tok1.LinkVariables();
    tback1.LinkVariables();
    tsynch1_23.LinkVariables();
}

cell1SAN::~cell1SAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}
