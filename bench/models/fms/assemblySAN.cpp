#include "assemblySAN.h"

#include "fmsRangeStudy.h"
#include "distributions/UserDistributions.h"

assemblySAN::tP12Activity::tP12Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP12", 0, Exponential, DefaultPolicy, 2, 1, false);
}

assemblySAN::tP12Activity::~tP12Activity() {
    delete[] TheDistributionParameters;
}

bool assemblySAN::tP12Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P12_Mark) > 0;
    return CurrentlyEnabled;
}

double assemblySAN::tP12Activity::Weight() {
    return 1;
}

double assemblySAN::tP12Activity::Rate() {
    return f((*P12_Mark), (*P1_Mark) + (*P2_Mark) + (*P3_Mark) + (*P12_Mark));
}

bool assemblySAN::tP12Activity::ReactivationPredicate() {
    return false;
}

bool assemblySAN::tP12Activity::ReactivationFunction() {
    return false;
}

double assemblySAN::tP12Activity::SampleDistribution() {
    return TheDistribution->Exponential(
        f((*P12_Mark), (*P1_Mark) + (*P2_Mark) + (*P3_Mark) + (*P12_Mark)));
}

double* assemblySAN::tP12Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* assemblySAN::tP12Activity::Fire() {
    (*P12_Mark)--;
    (*P12wM3_Mark)++;
    return this;
}

int assemblySAN::tP12Activity::Rank() {
    return 1;
}

void assemblySAN::tP12Activity::LinkVariables() {
    P12_Mark = P12->Value;
    P12->addReference(&P12_Mark, nullptr);
    P12wM3_Mark = P12wM3->Value;
    P12wM3->addReference(&P12wM3_Mark, nullptr);
    P1_Mark = P1->Value;
    P1->addReference(&P1_Mark, nullptr);
    P2_Mark = P2->Value;
    P2->addReference(&P2_Mark, nullptr);
    P3_Mark = P3->Value;
    P3->addReference(&P3_Mark, nullptr);
}

assemblySAN::tP12M3Activity::tP12M3Activity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP12M3", 1, Exponential, DefaultPolicy, 3, 1, false);
}

assemblySAN::tP12M3Activity::~tP12M3Activity() {
    delete[] TheDistributionParameters;
}

bool assemblySAN::tP12M3Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P12M3_Mark) > 0;
    return CurrentlyEnabled;
}

double assemblySAN::tP12M3Activity::Weight() {
    return 1;
}

double assemblySAN::tP12M3Activity::Rate() {
    return (*P12M3_Mark);
}

bool assemblySAN::tP12M3Activity::ReactivationPredicate() {
    return false;
}

bool assemblySAN::tP12M3Activity::ReactivationFunction() {
    return false;
}

double assemblySAN::tP12M3Activity::SampleDistribution() {
    return TheDistribution->Exponential((*P12M3_Mark));
}

double* assemblySAN::tP12M3Activity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* assemblySAN::tP12M3Activity::Fire() {
    (*P12M3_Mark)--;
    (*P12s_Mark)++;
    (*M3_Mark)++;
    return this;
}

int assemblySAN::tP12M3Activity::Rank() {
    return 1;
}

void assemblySAN::tP12M3Activity::LinkVariables() {
    P12M3_Mark = P12M3->Value;
    P12M3->addReference(&P12M3_Mark, nullptr);
    P12s_Mark = P12s->Value;
    P12s->addReference(&P12s_Mark, nullptr);
    M3_Mark = M3->Value;
    M3->addReference(&M3_Mark, nullptr);
}

assemblySAN::tP12sActivity::tP12sActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tP12s", 2, Exponential, DefaultPolicy, 3, 1, false);
}

assemblySAN::tP12sActivity::~tP12sActivity() {
    delete[] TheDistributionParameters;
}

bool assemblySAN::tP12sActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P12s_Mark) > 0;
    return CurrentlyEnabled;
}

double assemblySAN::tP12sActivity::Weight() {
    return 1;
}

double assemblySAN::tP12sActivity::Rate() {
    return 1.0 / 60;
}

bool assemblySAN::tP12sActivity::ReactivationPredicate() {
    return false;
}

bool assemblySAN::tP12sActivity::ReactivationFunction() {
    return false;
}

double assemblySAN::tP12sActivity::SampleDistribution() {
    return TheDistribution->Exponential(1.0 / 60);
}

double* assemblySAN::tP12sActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

BaseActionClass* assemblySAN::tP12sActivity::Fire() {
    (*P1_Mark) += (*P12s_Mark);
    (*P2_Mark) += (*P12s_Mark);
    (*P12s_Mark) = 0;
    return this;
}

int assemblySAN::tP12sActivity::Rank() {
    return 1;
}

void assemblySAN::tP12sActivity::LinkVariables() {
    P12s_Mark = P12s->Value;
    P12s->addReference(&P12s_Mark, nullptr);
    P1_Mark = P1->Value;
    P1->addReference(&P1_Mark, nullptr);
    P2_Mark = P2->Value;
    P2->addReference(&P2_Mark, nullptr);
}

assemblySAN::txActivity::txActivity() {
    ActivityInitialize("tx", 3, Instantaneous, DefaultPolicy, 3, 2, false);
}

assemblySAN::txActivity::~txActivity() {}

bool assemblySAN::txActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P2wP1_Mark) > 0 && (*P1wP2_Mark) > 0;
    return CurrentlyEnabled;
}

double assemblySAN::txActivity::Weight() {
    return 1;
}

double assemblySAN::txActivity::Rate() {
    return 0;
}

bool assemblySAN::txActivity::ReactivationPredicate() {
    return false;
}

bool assemblySAN::txActivity::ReactivationFunction() {
    return false;
}

double assemblySAN::txActivity::SampleDistribution() {
    return 0;
}

double* assemblySAN::txActivity::ReturnDistributionParameters() {
    return nullptr;
}

BaseActionClass* assemblySAN::txActivity::Fire() {
    (*P2wP1_Mark)--;
    (*P1wP2_Mark)--;
    (*P12_Mark)++;
    return this;
}

int assemblySAN::txActivity::Rank() {
    return 1;
}

void assemblySAN::txActivity::LinkVariables() {
    P2wP1_Mark = P2wP1->Value;
    P2wP1->addReference(&P2wP1_Mark, nullptr);
    P1wP2_Mark = P1wP2->Value;
    P1wP2->addReference(&P1wP2_Mark, nullptr);
    P12_Mark = P12->Value;
    P12->addReference(&P12_Mark, nullptr);
}

assemblySAN::tM3Activity::tM3Activity() {
    ActivityInitialize("tM3", 4, Instantaneous, DefaultPolicy, 3, 2, false);
}

assemblySAN::tM3Activity::~tM3Activity() {}

bool assemblySAN::tM3Activity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*P12wM3_Mark) > 0 && (*M3_Mark) > 0;
    return CurrentlyEnabled;
}

double assemblySAN::tM3Activity::Weight() {
    return 1;
}

double assemblySAN::tM3Activity::Rate() {
    return 0;
}

bool assemblySAN::tM3Activity::ReactivationPredicate() {
    return false;
}

bool assemblySAN::tM3Activity::ReactivationFunction() {
    return false;
}

double assemblySAN::tM3Activity::SampleDistribution() {
    return 0;
}

double* assemblySAN::tM3Activity::ReturnDistributionParameters() {
    return nullptr;
}

BaseActionClass* assemblySAN::tM3Activity::Fire() {
    (*P12wM3_Mark)--;
    (*M3_Mark)--;
    (*P12M3_Mark)++;
    return this;
}

int assemblySAN::tM3Activity::Rank() {
    return 1;
}

void assemblySAN::tM3Activity::LinkVariables() {
    P12wM3_Mark = P12wM3->Value;
    P12wM3->addReference(&P12wM3_Mark, nullptr);
    M3_Mark = M3->Value;
    M3->addReference(&M3_Mark, nullptr);
    P12M3_Mark = P12M3->Value;
    P12M3->addReference(&P12M3_Mark, nullptr);
}

assemblySAN::assemblySAN() {
    P12 = new Place("P12", 0);
    P12wM3 = new Place("P12wM3", 0);
    P12M3 = new Place("P12M3", 0);
    M3 = new Place("M3", 2);
    P12s = new Place("P12s", 0);
    P1wP2 = new Place("P1wP2", 0);
    P2wP1 = new Place("P2wP1", 0);
    P1 = new Place("P1", N);
    P2 = new Place("P2", N);
    P3 = new Place("P3", N);
    BaseStateVariableClass* InitialPlaces[10] = {P12,   P12wM3, P12M3, M3, P12s,
                                                 P1wP2, P2wP1,  P1,    P2, P3};
    Activity* InitialActionList[5] = {&tP12, &tP12M3, &tP12s, &tx, &tM3};
    BaseGroupClass* InitialGroupList[5] = {&tP12, &tP12M3, &tP12s, &tx, &tM3};
    initializeSANModelNow("assembly", 10, InitialPlaces, 0, nullptr, 5, InitialActionList, 5,
                          InitialGroupList);

    tP12.P12 = P12;
    tP12.P12wM3 = P12wM3;
    tP12.P1 = P1;
    tP12.P2 = P2;
    tP12.P3 = P3;
    tP12M3.P12M3 = P12M3;
    tP12M3.P12s = P12s;
    tP12M3.M3 = M3;
    tP12s.P12s = P12s;
    tP12s.P1 = P1;
    tP12s.P2 = P2;
    tx.P2wP1 = P2wP1;
    tx.P1wP2 = P1wP2;
    tx.P12 = P12;
    tM3.P12wM3 = P12wM3;
    tM3.M3 = M3;
    tM3.P12M3 = P12M3;

    AddAffectArc(P12, &tP12);
    AddAffectArc(P12wM3, &tP12);
    AddAffectArc(P12M3, &tP12M3);
    AddAffectArc(P12s, &tP12M3);
    AddAffectArc(M3, &tP12M3);
    AddAffectArc(P12s, &tP12s);
    AddAffectArc(P1, &tP12s);
    AddAffectArc(P2, &tP12s);
    AddAffectArc(P2wP1, &tx);
    AddAffectArc(P1wP2, &tx);
    AddAffectArc(P12, &tx);
    AddAffectArc(P12wM3, &tM3);
    AddAffectArc(M3, &tM3);
    AddAffectArc(P12M3, &tM3);
    AddEnableArc(P12, &tP12);
    AddEnableArc(P12M3, &tP12M3);
    AddEnableArc(P12s, &tP12s);
    AddEnableArc(P2wP1, &tx);
    AddEnableArc(P1wP2, &tx);
    AddEnableArc(P12wM3, &tM3);
    AddEnableArc(M3, &tM3);

    tP12.LinkVariables();
    tP12M3.LinkVariables();
    tP12s.LinkVariables();
    tx.LinkVariables();
    tM3.LinkVariables();
}

assemblySAN::~assemblySAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}
