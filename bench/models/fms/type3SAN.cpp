#include "type3SAN.h"

#include "fmsRangeStudy.h"
#include "distributions/UserDistributions.h"

type3SAN::tP3Activity::tP3Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP3", 0, Exponential, DefaultPolicy, 2, 1, false);
}

type3SAN::tP3Activity::~tP3Activity() {
    delete[] TheDistributionParameters;
}

bool type3SAN::tP3Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P3_Mark) > 0;
    return CurrentlyEnabled;
}

double type3SAN::tP3Activity::Weight() {
    return 1;
}

double type3SAN::tP3Activity::Rate() {
    return f((*P3_Mark), (*P1_Mark) + (*P2_Mark) + (*P3_Mark) + (*P12_Mark));
}

bool type3SAN::tP3Activity::ReactivationPredicate() {
    return false;
}

bool type3SAN::tP3Activity::ReactivationFunction() {
    return false;
}

double type3SAN::tP3Activity::SampleDistribution() {
    return TheDistribution->Exponential(
        f((*P3_Mark), (*P1_Mark) + (*P2_Mark) + (*P3_Mark) + (*P12_Mark)));
}

double* type3SAN::tP3Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type3SAN::tP3Activity::Fire() {
    (*P3_Mark)--;
    (*P3M2_Mark)++;
    return this;
}

int type3SAN::tP3Activity::Rank() {
    return 1;
}

void type3SAN::tP3Activity::LinkVariables() {
    P3_Mark = P3->Value;
    P3->addReference(&P3_Mark, nullptr);
    P3M2_Mark = P3M2->Value;
    P3M2->addReference(&P3M2_Mark, nullptr);
    P1_Mark = P1->Value;
    P1->addReference(&P1_Mark, nullptr);
    P2_Mark = P2->Value;
    P2->addReference(&P2_Mark, nullptr);
    P12_Mark = P12->Value;
    P12->addReference(&P12_Mark, nullptr);
}

type3SAN::tP3M2Activity::tP3M2Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP3M2", 1, Exponential, DefaultPolicy, 2, 2, false);
}

type3SAN::tP3M2Activity::~tP3M2Activity() {
    delete[] TheDistributionParameters;
}

bool type3SAN::tP3M2Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P3M2_Mark) > 0 && (*M2_Mark) > 0;
    return CurrentlyEnabled;
}

double type3SAN::tP3M2Activity::Weight() {
    return 1;
}

double type3SAN::tP3M2Activity::Rate() {
    return 0.5;
}

bool type3SAN::tP3M2Activity::ReactivationPredicate() {
    return false;
}

bool type3SAN::tP3M2Activity::ReactivationFunction() {
    return false;
}

double type3SAN::tP3M2Activity::SampleDistribution() {
    return TheDistribution->Exponential(0.5);
}

double* type3SAN::tP3M2Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type3SAN::tP3M2Activity::Fire() {
    (*P3M2_Mark)--;
    (*P3s_Mark)++;
    return this;
}

int type3SAN::tP3M2Activity::Rank() {
    return 1;
}

void type3SAN::tP3M2Activity::LinkVariables() {
    P3M2_Mark = P3M2->Value;
    P3M2->addReference(&P3M2_Mark, nullptr);
    P3s_Mark = P3s->Value;
    P3s->addReference(&P3s_Mark, nullptr);
    M2_Mark = M2->Value;
    M2->addReference(&M2_Mark, nullptr);
}

type3SAN::tP3sActivity::tP3sActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP3s", 2, Exponential, DefaultPolicy, 2, 1, false);
}

type3SAN::tP3sActivity::~tP3sActivity() {
    delete[] TheDistributionParameters;
}

bool type3SAN::tP3sActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P3s_Mark) > 0;
    return CurrentlyEnabled;
}

double type3SAN::tP3sActivity::Weight() {
    return 1;
}

double type3SAN::tP3sActivity::Rate() {
    return 1.0 / 60;
}

bool type3SAN::tP3sActivity::ReactivationPredicate() {
    return false;
}

bool type3SAN::tP3sActivity::ReactivationFunction() {
    return false;
}

double type3SAN::tP3sActivity::SampleDistribution() {
    return TheDistribution->Exponential(1.0 / 60);
}

double* type3SAN::tP3sActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* type3SAN::tP3sActivity::Fire() {
    (*P3_Mark) += (*P3s_Mark);
    (*P3s_Mark) = 0;
    return this;
}

int type3SAN::tP3sActivity::Rank() {
    return 1;
}

void type3SAN::tP3sActivity::LinkVariables() {
    P3s_Mark = P3s->Value;
    P3s->addReference(&P3s_Mark, nullptr);
    P3_Mark = P3->Value;
    P3->addReference(&P3_Mark, nullptr);
}

type3SAN::type3SAN() {
    P3 = new Place("P3", N);
    P3M2 = new Place("P3M2", 0);
    P3s = new Place("P3s", 0);
    M2 = new Place("M2", 1);
    P1 = new Place("P1", N);
    P2 = new Place("P2", N);
    P12 = new Place("P12", 0);
    BaseStateVariableClass* InitialPlaces[7] = {P3, P3M2, P3s, M2, P1, P2, P12};
    Activity* InitialActionList[3] = {&tP3, &tP3M2, &tP3s};
    BaseGroupClass* InitialGroupList[3] = {&tP3, &tP3M2, &tP3s};
    initializeSANModelNow("type3", 7, InitialPlaces, 0, nullptr, 3, InitialActionList, 3,
                          InitialGroupList);

    tP3.P3 = P3;
    tP3.P3M2 = P3M2;
    tP3.P1 = P1;
    tP3.P2 = P2;
    tP3.P12 = P12;
    tP3M2.P3M2 = P3M2;
    tP3M2.P3s = P3s;
    tP3M2.M2 = M2;
    tP3s.P3s = P3s;
    tP3s.P3 = P3;

    AddAffectArc(P3, &tP3);
    AddAffectArc(P3M2, &tP3);
    AddAffectArc(P3M2, &tP3M2);
    AddAffectArc(P3s, &tP3M2);
    AddAffectArc(P3s, &tP3s);
    AddAffectArc(P3, &tP3s);
    AddEnableArc(P3, &tP3);
    AddEnableArc(P3M2, &tP3M2);
    AddEnableArc(M2, &tP3M2);
    AddEnableArc(P3s, &tP3s);

    tP3.LinkVariables();
    tP3M2.LinkVariables();
    tP3s.LinkVariables();
}

type3SAN::~type3SAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}
