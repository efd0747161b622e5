#include "type2SAN.h"

#include "fmsRangeStudy.h"
#include "distributions/UserDistributions.h"

type2SAN::tP2Activity::tP2Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP2", 0, Exponential, DefaultPolicy, 2, 1, false);
}

type2SAN::tP2Activity::~tP2Activity() {
    delete[] TheDistributionParameters;
}

bool type2SAN::tP2Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P2_Mark) > 0;
    return CurrentlyEnabled;
}

double type2SAN::tP2Activity::Weight() {
    return 1;
}

double type2SAN::tP2Activity::Rate() {
    return f((*P2_Mark), (*P1_Mark) + (*P2_Mark) + (*P3_Mark) + (*P12_Mark));
}

bool type2SAN::tP2Activity::ReactivationPredicate() {
    return false;
}

bool type2SAN::tP2Activity::ReactivationFunction() {
    return false;
}

double type2SAN::tP2Activity::SampleDistribution() {
    return TheDistribution->Exponential(
        f((*P2_Mark), (*P1_Mark) + (*P2_Mark) + (*P3_Mark) + (*P12_Mark)));
}

double* type2SAN::tP2Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type2SAN::tP2Activity::Fire() {
    (*P2_Mark)--;
    (*P2wM2_Mark)++;
    return this;
}

int type2SAN::tP2Activity::Rank() {
    return 1;
}

void type2SAN::tP2Activity::LinkVariables() {
    P2_Mark = P2->Value;
    P2->addReference(&P2_Mark, nullptr);
    P2wM2_Mark = P2wM2->Value;
    P2wM2->addReference(&P2wM2_Mark, nullptr);
    P1_Mark = P1->Value;
    P1->addReference(&P1_Mark, nullptr);
    P3_Mark = P3->Value;
    P3->addReference(&P3_Mark, nullptr);
    P12_Mark = P12->Value;
    P12->addReference(&P12_Mark, nullptr);
}

type2SAN::tP2M2Activity::tP2M2Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP2M2", 1, Exponential, DefaultPolicy, 3, 1, false);
}

type2SAN::tP2M2Activity::~tP2M2Activity() {
    delete[] TheDistributionParameters;
}

bool type2SAN::tP2M2Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P2M2_Mark) > 0;
    return CurrentlyEnabled;
}

double type2SAN::tP2M2Activity::Weight() {
    return 1;
}

double type2SAN::tP2M2Activity::Rate() {
    return 1.0 / 6;
}

bool type2SAN::tP2M2Activity::ReactivationPredicate() {
    return false;
}

bool type2SAN::tP2M2Activity::ReactivationFunction() {
    return false;
}

double type2SAN::tP2M2Activity::SampleDistribution() {
    return TheDistribution->Exponential(1.0 / 6);
}

double* type2SAN::tP2M2Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type2SAN::tP2M2Activity::Fire() {
    (*P2M2_Mark)--;
    (*M2_Mark)++;
    (*P2d_Mark)++;
    return this;
}

int type2SAN::tP2M2Activity::Rank() {
    return 1;
}

void type2SAN::tP2M2Activity::LinkVariables() {
    P2M2_Mark = P2M2->Value;
    P2M2->addReference(&P2M2_Mark, nullptr);
    M2_Mark = M2->Value;
    M2->addReference(&M2_Mark, nullptr);
    P2d_Mark = P2d->Value;
    P2d->addReference(&P2d_Mark, nullptr);
}

type2SAN::tP2sActivity::tP2sActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP2s", 2, Exponential, DefaultPolicy, 2, 1, false);
}

type2SAN::tP2sActivity::~tP2sActivity() {
    delete[] TheDistributionParameters;
}

bool type2SAN::tP2sActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P2s_Mark) > 0;
    return CurrentlyEnabled;
}

double type2SAN::tP2sActivity::Weight() {
    return 1;
}

double type2SAN::tP2sActivity::Rate() {
    return 1.0 / 60;
}

bool type2SAN::tP2sActivity::ReactivationPredicate() {
    return false;
}

bool type2SAN::tP2sActivity::ReactivationFunction() {
    return false;
}

double type2SAN::tP2sActivity::SampleDistribution() {
    return TheDistribution->Exponential(1.0 / 60);
}

double* type2SAN::tP2sActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type2SAN::tP2sActivity::Fire() {
    (*P2_Mark) += (*P2s_Mark);
    (*P2s_Mark) = 0;
    return this;
}

int type2SAN::tP2sActivity::Rank() {
    return 1;
}

void type2SAN::tP2sActivity::LinkVariables() {
    P2s_Mark = P2s->Value;
    P2s->addReference(&P2s_Mark, nullptr);
    P2_Mark = P2->Value;
    P2->addReference(&P2_Mark, nullptr);
}

type2SAN::tM2Activity::tM2Activity() {
    ActivityInitialize("tM2", 3, Instantaneous, DefaultPolicy, 3, 2, false);
}

type2SAN::tM2Activity::~tM2Activity() {}

bool type2SAN::tM2Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P2wM2_Mark) > 0 && (*M2_Mark) > 0;
    return CurrentlyEnabled;
}

double type2SAN::tM2Activity::Weight() {
    return 1;
}

double type2SAN::tM2Activity::Rate() {
    return 0;
}

bool type2SAN::tM2Activity::ReactivationPredicate() {
    return false;
}

bool type2SAN::tM2Activity::ReactivationFunction() {
    return false;
}

double type2SAN::tM2Activity::SampleDistribution() {
    return 0;
}

double* type2SAN::tM2Activity::ReturnDistributionParameters() {
    return nullptr;
}

BaseActionClass* type2SAN::tM2Activity::Fire() {
    (*P2wM2_Mark)--;
    (*M2_Mark)--;
    (*P2M2_Mark)++;
    return this;
}

int type2SAN::tM2Activity::Rank() {
    return 1;
}

void type2SAN::tM2Activity::LinkVariables() {
    P2wM2_Mark = P2wM2->Value;
    P2wM2->addReference(&P2wM2_Mark, nullptr);
    M2_Mark = M2->Value;
    M2->addReference(&M2_Mark, nullptr);
    P2M2_Mark = P2M2->Value;
    P2M2->addReference(&P2M2_Mark, nullptr);
}

type2SAN::tP2eActivity::tP2eActivity() {
    ActivityInitialize("tP2e", 4, Instantaneous, DefaultPolicy, 2, 1, false);
}

type2SAN::tP2eActivity::~tP2eActivity() {}

bool type2SAN::tP2eActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P2d_Mark) > 0;
    return CurrentlyEnabled;
}

double type2SAN::tP2eActivity::Weight() {
    return 60;
}

double type2SAN::tP2eActivity::Rate() {
    return 0;
}

bool type2SAN::tP2eActivity::ReactivationPredicate() {
    return false;
}

bool type2SAN::tP2eActivity::ReactivationFunction() {
    return false;
}

double type2SAN::tP2eActivity::SampleDistribution() {
    return 0;
}

double* type2SAN::tP2eActivity::ReturnDistributionParameters() {
    return nullptr;
}

BaseActionClass* type2SAN::tP2eActivity::Fire() {
    (*P2d_Mark)--;
    (*P2s_Mark)++;
    return this;
}

int type2SAN::tP2eActivity::Rank() {
    return 1;
}

void type2SAN::tP2eActivity::LinkVariables() {
    P2d_Mark = P2d->Value;
    P2d->addReference(&P2d_Mark, nullptr);
    P2s_Mark = P2s->Value;
    P2s->addReference(&P2s_Mark, nullptr);
}

type2SAN::tP2jActivity::tP2jActivity() {
    ActivityInitialize("tP2j", 5, Instantaneous, DefaultPolicy, 2, 1, false);
}

type2SAN::tP2jActivity::~tP2jActivity() {}

bool type2SAN::tP2jActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P2d_Mark) > 0;
    return CurrentlyEnabled;
}

double type2SAN::tP2jActivity::Weight() {
    return 40;
}

double type2SAN::tP2jActivity::Rate() {
    return 0;
}

bool type2SAN::tP2jActivity::ReactivationPredicate() {
    return false;
}

bool type2SAN::tP2jActivity::ReactivationFunction() {
    return false;
}

double type2SAN::tP2jActivity::SampleDistribution() {
    return 0;
}

double* type2SAN::tP2jActivity::ReturnDistributionParameters() {
    return nullptr;
}

BaseActionClass* type2SAN::tP2jActivity::Fire() {
    (*P2d_Mark)--;
    (*P2wP1_Mark)++;
    return this;
}

int type2SAN::tP2jActivity::Rank() {
    return 1;
}

void type2SAN::tP2jActivity::LinkVariables() {
    P2d_Mark = P2d->Value;
    P2d->addReference(&P2d_Mark, nullptr);
    P2wP1_Mark = P2wP1->Value;
    P2wP1->addReference(&P2wP1_Mark, nullptr);
}

type2SAN::type2SAN() {
    P2 = new Place("P2", N);
    P2wM2 = new Place("P2wM2", 0);
    P2M2 = new Place("P2M2", 0);
    M2 = new Place("M2", 1);
    P2d = new Place("P2d", 0);
    P2s = new Place("P2s", 0);
    P2wP1 = new Place("P2wP1", 0);
    P1 = new Place("P1", N);
    P3 = new Place("P3", N);
    P12 = new Place("P12", 0);
    BaseStateVariableClass* InitialPlaces[10] = {P2, P2wM2, P2M2, M2, P2d, P2s, P2wP1, P1, P3, P12};
    Activity* InitialActionList[6] = {&tP2, &tP2M2, &tP2s, &tM2, &tP2e, &tP2j};
    BaseGroupClass* InitialGroupList[6] = {&tP2, &tP2M2, &tP2s, &tM2, &tP2e, &tP2j};
    initializeSANModelNow("type2", 10, InitialPlaces, 0, nullptr, 6, InitialActionList, 6,
                          InitialGroupList);

    tP2.P2 = P2;
    tP2.P2wM2 = P2wM2;
    tP2.P1 = P1;
    tP2.P3 = P3;
    tP2.P12 = P12;
    tP2M2.P2M2 = P2M2;
    tP2M2.M2 = M2;
    tP2M2.P2d = P2d;
    tP2s.P2s = P2s;
    tP2s.P2 = P2;
    tM2.P2wM2 = P2wM2;
    tM2.M2 = M2;
    tM2.P2M2 = P2M2;
    tP2e.P2d = P2d;
    tP2e.P2s = P2s;
    tP2j.P2d = P2d;
    tP2j.P2wP1 = P2wP1;

    AddAffectArc(P2, &tP2);
    AddAffectArc(P2wM2, &tP2);
    AddAffectArc(P2M2, &tP2M2);
    AddAffectArc(M2, &tP2M2);
    AddAffectArc(P2d, &tP2M2);
    AddAffectArc(P2s, &tP2s);
    AddAffectArc(P2, &tP2s);
    AddAffectArc(P2wM2, &tM2);
    AddAffectArc(M2, &tM2);
    AddAffectArc(P2M2, &tM2);
    AddAffectArc(P2d, &tP2e);
    AddAffectArc(P2s, &tP2e);
    AddAffectArc(P2d, &tP2j);
    AddAffectArc(P2wP1, &tP2j);
    AddEnableArc(P2, &tP2);
    AddEnableArc(P2M2, &tP2M2);
    AddEnableArc(P2s, &tP2s);
    AddEnableArc(P2wM2, &tM2);
    AddEnableArc(M2, &tM2);
    AddEnableArc(P2d, &tP2e);
    AddEnableArc(P2d, &tP2j);

    tP2.LinkVariables();
    tP2M2.LinkVariables();
    tP2s.LinkVariables();
    tM2.LinkVariables();
    tP2e.LinkVariables();
    tP2j.LinkVariables();
}

type2SAN::~type2SAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}
