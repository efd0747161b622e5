#include "tests/models/deterlang_model/deterlang_systemSAN.h"

#include "distributions/UserDistributions.h"
#include "tests/models/deterlang_model/deterlang_studyRangeStudy.h"

deterlang_systemSAN::deterlang_systemSAN() {
    p = new Place("p", 1);

    BaseStateVariableClass* InitialPlaces[1] = {p};
    Activity* InitialActionList[2] = {&timer, &ager};
    BaseGroupClass* InitialGroupList[2] = {&timer, &ager};

    initializeSANModelNow("deterlang_system", 1, InitialPlaces, 0, nullptr, 2, InitialActionList, 2,
                          InitialGroupList);

    timer.p = static_cast<Place*>(Places[0]);
    ager.p = static_cast<Place*>(Places[0]);

    AddAffectArc(p, &timer);
    AddAffectArc(p, &ager);

    AddEnableArc(p, &timer);
    AddEnableArc(p, &ager);

    for (int n = 0; n < 2; n++)
        InitialActionList[n]->LinkVariables();
}

deterlang_systemSAN::~deterlang_systemSAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}

// ---------------------------------------------------------------- timer

deterlang_systemSAN::timerActivity::timerActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("timer", 0, Deterministic, DefaultPolicy, 1, 1, false);
}

deterlang_systemSAN::timerActivity::~timerActivity() {
    delete[] TheDistributionParameters;
}

void deterlang_systemSAN::timerActivity::LinkVariables() {
    p_Mark = p->Value;
    p->addReference(&p_Mark, nullptr);
}

bool deterlang_systemSAN::timerActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*p_Mark > 0);
    return CurrentlyEnabled;
}

double deterlang_systemSAN::timerActivity::Weight() {
    return 1;
}

double deterlang_systemSAN::timerActivity::Rate() {
    return 0;
}

bool deterlang_systemSAN::timerActivity::ReactivationPredicate() {
    return false;
}

bool deterlang_systemSAN::timerActivity::ReactivationFunction() {
    return false;
}

double deterlang_systemSAN::timerActivity::SampleDistribution() {
    return delay_value;
}

double* deterlang_systemSAN::timerActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = delay_value;
    return TheDistributionParameters;
}

int deterlang_systemSAN::timerActivity::Rank() {
    return 1;
}

BaseActionClass* deterlang_systemSAN::timerActivity::Fire() {
    *p_Mark -= 1;
    return this;
}

// ---------------------------------------------------------------- ager

deterlang_systemSAN::agerActivity::agerActivity() {
    TheDistributionParameters = new double[2];
    ActivityInitialize("ager", 1, Erlang, DefaultPolicy, 1, 1, false);
}

deterlang_systemSAN::agerActivity::~agerActivity() {
    delete[] TheDistributionParameters;
}

void deterlang_systemSAN::agerActivity::LinkVariables() {
    p_Mark = p->Value;
    p->addReference(&p_Mark, nullptr);
}

bool deterlang_systemSAN::agerActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*p_Mark > 0);
    return CurrentlyEnabled;
}

double deterlang_systemSAN::agerActivity::Weight() {
    return 1;
}

double deterlang_systemSAN::agerActivity::Rate() {
    return 1.0;
}

bool deterlang_systemSAN::agerActivity::ReactivationPredicate() {
    return false;
}

bool deterlang_systemSAN::agerActivity::ReactivationFunction() {
    return false;
}

double deterlang_systemSAN::agerActivity::SampleDistribution() {
    return TheDistribution->Erlang(2, 2.0);
}

double* deterlang_systemSAN::agerActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = ErlangParamM();
    TheDistributionParameters[1] = Rate();
    return TheDistributionParameters;
}

double deterlang_systemSAN::agerActivity::ErlangParamM() {
    return 2;
}

int deterlang_systemSAN::agerActivity::Rank() {
    return 1;
}

BaseActionClass* deterlang_systemSAN::agerActivity::Fire() {
    *p_Mark -= 1;
    return this;
}
