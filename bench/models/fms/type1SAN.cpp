#include "type1SAN.h"

#include "fmsRangeStudy.h"
#include "distributions/UserDistributions.h"

type1SAN::tP1Activity::tP1Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP1", 0, Exponential, DefaultPolicy, 2, 1, false);
}

type1SAN::tP1Activity::~tP1Activity() {
    delete[] TheDistributionParameters;
}

bool type1SAN::tP1Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P1_Mark) > 0;
    return CurrentlyEnabled;
}

double type1SAN::tP1Activity::Weight() {
    return 1;
}

double type1SAN::tP1Activity::Rate() {
    return f((*P1_Mark), (*P1_Mark) + (*P2_Mark) + (*P3_Mark) + (*P12_Mark));
}

bool type1SAN::tP1Activity::ReactivationPredicate() {
    return false;
}

bool type1SAN::tP1Activity::ReactivationFunction() {
    return false;
}

double type1SAN::tP1Activity::SampleDistribution() {
    return TheDistribution->Exponential(
        f((*P1_Mark), (*P1_Mark) + (*P2_Mark) + (*P3_Mark) + (*P12_Mark)));
}

double* type1SAN::tP1Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type1SAN::tP1Activity::Fire() {
    (*P1_Mark)--;
    (*P1wM1_Mark)++;
    return this;
}

int type1SAN::tP1Activity::Rank() {
    return 1;
}

void type1SAN::tP1Activity::LinkVariables() {
    P1_Mark = P1->Value;
    P1->addReference(&P1_Mark, nullptr);
    P1wM1_Mark = P1wM1->Value;
    P1wM1->addReference(&P1wM1_Mark, nullptr);
    P2_Mark = P2->Value;
    P2->addReference(&P2_Mark, nullptr);
    P3_Mark = P3->Value;
    P3->addReference(&P3_Mark, nullptr);
    P12_Mark = P12->Value;
    P12->addReference(&P12_Mark, nullptr);
}

type1SAN::tP1M1Activity::tP1M1Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP1M1", 1, Exponential, DefaultPolicy, 3, 1, false);
}

type1SAN::tP1M1Activity::~tP1M1Activity() {
    delete[] TheDistributionParameters;
}

bool type1SAN::tP1M1Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P1M1_Mark) > 0;
    return CurrentlyEnabled;
}

double type1SAN::tP1M1Activity::Weight() {
    return 1;
}

double type1SAN::tP1M1Activity::Rate() {
    return (*P1M1_Mark) / 4.0;
}

bool type1SAN::tP1M1Activity::ReactivationPredicate() {
    return false;
}

bool type1SAN::tP1M1Activity::ReactivationFunction() {
    return false;
}

double type1SAN::tP1M1Activity::SampleDistribution() {
    return TheDistribution->Exponential((*P1M1_Mark) / 4.0);
}

double* type1SAN::tP1M1Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type1SAN::tP1M1Activity::Fire() {
    (*P1M1_Mark)--;
    (*M1_Mark)++;
    (*P1d_Mark)++;
    return this;
}

int type1SAN::tP1M1Activity::Rank() {
    return 1;
}

void type1SAN::tP1M1Activity::LinkVariables() {
    P1M1_Mark = P1M1->Value;
    P1M1->addReference(&P1M1_Mark, nullptr);
    M1_Mark = M1->Value;
    M1->addReference(&M1_Mark, nullptr);
    P1d_Mark = P1d->Value;
    P1d->addReference(&P1d_Mark, nullptr);
}

type1SAN::tP1sActivity::tP1sActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP1s", 2, Exponential, DefaultPolicy, 2, 1, false);
}

type1SAN::tP1sActivity::~tP1sActivity() {
    delete[] TheDistributionParameters;
}

bool type1SAN::tP1sActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P1s_Mark) > 0;
    return CurrentlyEnabled;
}

double type1SAN::tP1sActivity::Weight() {
    return 1;
}

double type1SAN::tP1sActivity::Rate() {
    return 1.0 / 60;
}

bool type1SAN::tP1sActivity::ReactivationPredicate() {
    return false;
}

bool type1SAN::tP1sActivity::ReactivationFunction() {
    return false;
}

double type1SAN::tP1sActivity::SampleDistribution() {
    return TheDistribution->Exponential(1.0 / 60);
}

double* type1SAN::tP1sActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type1SAN::tP1sActivity::Fire() {
    (*P1_Mark) += (*P1s_Mark);
    (*P1s_Mark) = 0;
    return this;
}

int type1SAN::tP1sActivity::Rank() {
    return 1;
}

void type1SAN::tP1sActivity::LinkVariables() {
    P1s_Mark = P1s->Value;
    P1s->addReference(&P1s_Mark, nullptr);
    P1_Mark = P1->Value;
    P1->addReference(&P1_Mark, nullptr);
}

type1SAN::tM1Activity::tM1Activity() {
    ActivityInitialize("tM1", 3, Instantaneous, DefaultPolicy, 3, 2, false);
}

type1SAN::tM1Activity::~tM1Activity() {}

bool type1SAN::tM1Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P1wM1_Mark) > 0 && (*M1_Mark) > 0;
    return CurrentlyEnabled;
}

double type1SAN::tM1Activity::Weight() {
    return 1;
}

double type1SAN::tM1Activity::Rate() {
    return 0;
}

bool type1SAN::tM1Activity::ReactivationPredicate() {
    return false;
}

bool type1SAN::tM1Activity::ReactivationFunction() {
    return false;
}

double type1SAN::tM1Activity::SampleDistribution() {
    return 0;
}

double* type1SAN::tM1Activity::ReturnDistributionParameters() {
    return nullptr;
}

BaseActionClass* type1SAN::tM1Activity::Fire() {
    (*P1wM1_Mark)--;
    (*M1_Mark)--;
    (*P1M1_Mark)++;
    return this;
}

int type1SAN::tM1Activity::Rank() {
    return 1;
}

void type1SAN::tM1Activity::LinkVariables() {
    P1wM1_Mark = P1wM1->Value;
    P1wM1->addReference(&P1wM1_Mark, nullptr);
    M1_Mark = M1->Value;
    M1->addReference(&M1_Mark, nullptr);
    P1M1_Mark = P1M1->Value;
    P1M1->addReference(&P1M1_Mark, nullptr);
}

type1SAN::tP1eActivity::tP1eActivity() {
    ActivityInitialize("tP1e", 4, Instantaneous, DefaultPolicy, 2, 1, false);
}

type1SAN::tP1eActivity::~tP1eActivity() {}

bool type1SAN::tP1eActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P1d_Mark) > 0;
    return CurrentlyEnabled;
}

double type1SAN::tP1eActivity::Weight() {
    return 80;
}

double type1SAN::tP1eActivity::Rate() {
    return 0;
}

bool type1SAN::tP1eActivity::ReactivationPredicate() {
    return false;
}

bool type1SAN::tP1eActivity::ReactivationFunction() {
    return false;
}

double type1SAN::tP1eActivity::SampleDistribution() {
    return 0;
}

double* type1SAN::tP1eActivity::ReturnDistributionParameters() {
    return nullptr;
}

BaseActionClass* type1SAN::tP1eActivity::Fire() {
    (*P1d_Mark)--;
    (*P1s_Mark)++;
    return this;
}

int type1SAN::tP1eActivity::Rank() {
    return 1;
}

void type1SAN::tP1eActivity::LinkVariables() {
    P1d_Mark = P1d->Value;
    P1d->addReference(&P1d_Mark, nullptr);
    P1s_Mark = P1s->Value;
    P1s->addReference(&P1s_Mark, nullptr);
}

type1SAN::tP1jActivity::tP1jActivity() {
    ActivityInitialize("tP1j", 5, Instantaneous, DefaultPolicy, 2, 1, false);
}

type1SAN::tP1jActivity::~tP1jActivity() {}

bool type1SAN::tP1jActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P1d_Mark) > 0;
    return CurrentlyEnabled;
}

double type1SAN::tP1jActivity::Weight() {
    return 20;
}

double type1SAN::tP1jActivity::Rate() {
    return 0;
}

bool type1SAN::tP1jActivity::ReactivationPredicate() {
    return false;
}

bool type1SAN::tP1jActivity::ReactivationFunction() {
    return false;
}

double type1SAN::tP1jActivity::SampleDistribution() {
    return 0;
}

double* type1SAN::tP1jActivity::ReturnDistributionParameters() {
    return nullptr;
}

BaseActionClass* type1SAN::tP1jActivity::Fire() {
    (*P1d_Mark)--;
    (*P1wP2_Mark)++;
    return this;
}

int type1SAN::tP1jActivity::Rank() {
    return 1;
}

void type1SAN::tP1jActivity::LinkVariables() {
    P1d_Mark = P1d->Value;
    P1d->addReference(&P1d_Mark, nullptr);
    P1wP2_Mark = P1wP2->Value;
    P1wP2->addReference(&P1wP2_Mark, nullptr);
}

type1SAN::type1SAN() {
    P1 = new Place("P1", N);
    P1wM1 = new Place("P1wM1", 0);
    P1M1 = new Place("P1M1", 0);
    M1 = new Place("M1", 3);
    P1d = new Place("P1d", 0);
    P1s = new Place("P1s", 0);
    P1wP2 = new Place("P1wP2", 0);
    P2 = new Place("P2", N);
    P3 = new Place("P3", N);
    P12 = new Place("P12", 0);
    BaseStateVariableClass* InitialPlaces[10] = {P1, P1wM1, P1M1, M1, P1d, P1s, P1wP2, P2, P3, P12};
    Activity* InitialActionList[6] = {&tP1, &tP1M1, &tP1s, &tM1, &tP1e, &tP1j};
    BaseGroupClass* InitialGroupList[6] = {&tP1, &tP1M1, &tP1s, &tM1, &tP1e, &tP1j};
    initializeSANModelNow("type1", 10, InitialPlaces, 0, nullptr, 6, InitialActionList, 6,
                          InitialGroupList);

    tP1.P1 = P1;
    tP1.P1wM1 = P1wM1;
    tP1.P2 = P2;
    tP1.P3 = P3;
    tP1.P12 = P12;
    tP1M1.P1M1 = P1M1;
    tP1M1.M1 = M1;
    tP1M1.P1d = P1d;
    tP1s.P1s = P1s;
    tP1s.P1 = P1;
    tM1.P1wM1 = P1wM1;
    tM1.M1 = M1;
    tM1.P1M1 = P1M1;
    tP1e.P1d = P1d;
    tP1e.P1s = P1s;
    tP1j.P1d = P1d;
    tP1j.P1wP2 = P1wP2;

    AddAffectArc(P1, &tP1);
    AddAffectArc(P1wM1, &tP1);
    AddAffectArc(P1M1, &tP1M1);
    AddAffectArc(M1, &tP1M1);
    AddAffectArc(P1d, &tP1M1);
    AddAffectArc(P1s, &tP1s);
    AddAffectArc(P1, &tP1s);
    AddAffectArc(P1wM1, &tM1);
    AddAffectArc(M1, &tM1);
    AddAffectArc(P1M1, &tM1);
    AddAffectArc(P1d, &tP1e);
    AddAffectArc(P1s, &tP1e);
    AddAffectArc(P1d, &tP1j);
    AddAffectArc(P1wP2, &tP1j);
    AddEnableArc(P1, &tP1);
    AddEnableArc(P1M1, &tP1M1);
    AddEnableArc(P1s, &tP1s);
    AddEnableArc(P1wM1, &tM1);
    AddEnableArc(M1, &tM1);
    AddEnableArc(P1d, &tP1e);
    AddEnableArc(P1d, &tP1j);

    tP1.LinkVariables();
    tP1M1.LinkVariables();
    tP1s.LinkVariables();
    tM1.LinkVariables();
    tP1e.LinkVariables();
    tP1j.LinkVariables();
}

type1SAN::~type1SAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}
