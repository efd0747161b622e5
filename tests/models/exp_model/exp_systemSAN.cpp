#include "tests/models/exp_model/exp_systemSAN.h"

#include "distributions/UserDistributions.h"
#include "tests/models/exp_model/exp_studyRangeStudy.h"

#ifdef EXP_FAULTS
#include <cstdlib>
#include <cstring>

// The faulty build of this model, for the tests of how the generator meets a broken
// model; EXP_FAULT chooses the fault. "rate": tick's rate turns negative once the
// counter reaches 600, deep in a long exploration. "compare": CompareState never
// finds two states equal. "writeback": CurrentState writes another count than the
// one the model holds.
namespace {
bool Fault(const char* name) {
    static const char* chosen = std::getenv("EXP_FAULT");
    return chosen != nullptr && std::strcmp(chosen, name) == 0;
}
} // namespace

bool exp_systemSAN::CompareState(void* a, void* b) {
    return !Fault("compare") && SANModel::CompareState(a, b);
}

void exp_systemSAN::CurrentState(void* p) {
    SANModel::CurrentState(p);
    if (Fault("writeback"))
        static_cast<short*>(p)[3] += 1;
}
#endif

exp_systemSAN::exp_systemSAN() {
    finishGroup.initialize(2, "finishGroup");
    finishGroup.appendGroup(&finish_case1);
    finishGroup.appendGroup(&finish_case2);

    a = new Place("a", start_tokens);
    b = new Place("b", 0);
    c = new Place("c", 0);
    count = new Place("count", 0);

    BaseStateVariableClass* InitialPlaces[4] = {a, b, c, count};
    Activity* InitialActionList[6] = {&move_fast,    &move_slow,    &idle,
                                      &finish_case1, &finish_case2, &tick};
    BaseGroupClass* InitialGroupList[5] = {&move_fast, &move_slow, &idle, &finishGroup, &tick};

    initializeSANModelNow("exp_system", 4, InitialPlaces, 0, nullptr, 6, InitialActionList, 5,
                          InitialGroupList);

    move_fast.a = static_cast<Place*>(Places[0]);
    move_fast.b = static_cast<Place*>(Places[1]);
    move_slow.a = static_cast<Place*>(Places[0]);
    move_slow.b = static_cast<Place*>(Places[1]);
    idle.b = static_cast<Place*>(Places[1]);
    finish_case1.b = static_cast<Place*>(Places[1]);
    finish_case1.c = static_cast<Place*>(Places[2]);
    finish_case2.b = static_cast<Place*>(Places[1]);
    finish_case2.a = static_cast<Place*>(Places[0]);
    tick.count = static_cast<Place*>(Places[3]);

    AddAffectArc(a, &move_fast);
    AddAffectArc(b, &move_fast);
    AddAffectArc(a, &move_slow);
    AddAffectArc(b, &move_slow);
    AddAffectArc(b, &idle);
    AddAffectArc(b, &finish_case1);
    AddAffectArc(c, &finish_case1);
    AddAffectArc(b, &finish_case2);
    AddAffectArc(a, &finish_case2);
    AddAffectArc(count, &tick);

    AddEnableArc(a, &move_fast);
    AddEnableArc(a, &move_slow);
    AddEnableArc(b, &idle);
    AddEnableArc(b, &finish_case1);
    AddEnableArc(b, &finish_case2);
    AddEnableArc(count, &tick);

    for (int n = 0; n < 6; n++)
        InitialActionList[n]->LinkVariables();
}

exp_systemSAN::~exp_systemSAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}

// ---------------------------------------------------------------- move_fast

exp_systemSAN::move_fastActivity::move_fastActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("move_fast", 0, Exponential, DefaultPolicy, 2, 1, false);
}

exp_systemSAN::move_fastActivity::~move_fastActivity() {
    delete[] TheDistributionParameters;
}

void exp_systemSAN::move_fastActivity::LinkVariables() {
    a_Mark = a->Value;
    a->addReference(&a_Mark, nullptr);
    b_Mark = b->Value;
    b->addReference(&b_Mark, nullptr);
}

bool exp_systemSAN::move_fastActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*a_Mark > 0);
    return CurrentlyEnabled;
}

double exp_systemSAN::move_fastActivity::Weight() {
    return 1;
}

double exp_systemSAN::move_fastActivity::Rate() {
    return 2.0;
}

bool exp_systemSAN::move_fastActivity::ReactivationPredicate() {
    return false;
}

bool exp_systemSAN::move_fastActivity::ReactivationFunction() {
    return false;
}

double exp_systemSAN::move_fastActivity::SampleDistribution() {
    return TheDistribution->Exponential(2.0);
}

double* exp_systemSAN::move_fastActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int exp_systemSAN::move_fastActivity::Rank() {
    return 1;
}

BaseActionClass* exp_systemSAN::move_fastActivity::Fire() {
    *a_Mark -= 1;
    *b_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- move_slow

exp_systemSAN::move_slowActivity::move_slowActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("move_slow", 1, Exponential, DefaultPolicy, 2, 1, false);
}

exp_systemSAN::move_slowActivity::~move_slowActivity() {
    delete[] TheDistributionParameters;
}

void exp_systemSAN::move_slowActivity::LinkVariables() {
    a_Mark = a->Value;
    a->addReference(&a_Mark, nullptr);
    b_Mark = b->Value;
    b->addReference(&b_Mark, nullptr);
}

bool exp_systemSAN::move_slowActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*a_Mark > 0);
    return CurrentlyEnabled;
}

double exp_systemSAN::move_slowActivity::Weight() {
    return 1;
}

double exp_systemSAN::move_slowActivity::Rate() {
    return 0.5;
}

bool exp_systemSAN::move_slowActivity::ReactivationPredicate() {
    return false;
}

bool exp_systemSAN::move_slowActivity::ReactivationFunction() {
    return false;
}

double exp_systemSAN::move_slowActivity::SampleDistribution() {
    return TheDistribution->Exponential(0.5);
}

double* exp_systemSAN::move_slowActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int exp_systemSAN::move_slowActivity::Rank() {
    return 1;
}

BaseActionClass* exp_systemSAN::move_slowActivity::Fire() {
    *a_Mark -= 1;
    *b_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- idle

exp_systemSAN::idleActivity::idleActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("idle", 2, Exponential, DefaultPolicy, 1, 1, false);
}

exp_systemSAN::idleActivity::~idleActivity() {
    delete[] TheDistributionParameters;
}

void exp_systemSAN::idleActivity::LinkVariables() {
    b_Mark = b->Value;
    b->addReference(&b_Mark, nullptr);
}

bool exp_systemSAN::idleActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*b_Mark > 0);
    return CurrentlyEnabled;
}

double exp_systemSAN::idleActivity::Weight() {
    return 1;
}

double exp_systemSAN::idleActivity::Rate() {
    return 0.25;
}

bool exp_systemSAN::idleActivity::ReactivationPredicate() {
    return false;
}

bool exp_systemSAN::idleActivity::ReactivationFunction() {
    return false;
}

double exp_systemSAN::idleActivity::SampleDistribution() {
    return TheDistribution->Exponential(0.25);
}

double* exp_systemSAN::idleActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int exp_systemSAN::idleActivity::Rank() {
    return 1;
}

BaseActionClass* exp_systemSAN::idleActivity::Fire() {
    *b_Mark -= 1;
    *b_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- finish

exp_systemSAN::finishActivity_case1::finishActivity_case1() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("finish_case1", 3, Exponential, DefaultPolicy, 2, 1, false);
}

exp_systemSAN::finishActivity_case1::~finishActivity_case1() {
    delete[] TheDistributionParameters;
}

void exp_systemSAN::finishActivity_case1::LinkVariables() {
    b_Mark = b->Value;
    b->addReference(&b_Mark, nullptr);
    c_Mark = c->Value;
    c->addReference(&c_Mark, nullptr);
}

bool exp_systemSAN::finishActivity_case1::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*b_Mark > 0);
    return CurrentlyEnabled;
}

double exp_systemSAN::finishActivity_case1::Weight() {
    return 0.4;
}

double exp_systemSAN::finishActivity_case1::Rate() {
    return 1.0;
}

bool exp_systemSAN::finishActivity_case1::ReactivationPredicate() {
    return false;
}

bool exp_systemSAN::finishActivity_case1::ReactivationFunction() {
    return false;
}

double exp_systemSAN::finishActivity_case1::SampleDistribution() {
    return TheDistribution->Exponential(1.0);
}

double* exp_systemSAN::finishActivity_case1::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int exp_systemSAN::finishActivity_case1::Rank() {
    return 1;
}

BaseActionClass* exp_systemSAN::finishActivity_case1::Fire() {
    *b_Mark -= 1;
    *c_Mark += 1;
    return this;
}

exp_systemSAN::finishActivity_case2::finishActivity_case2() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("finish_case2", 3, Exponential, DefaultPolicy, 2, 1, false);
}

exp_systemSAN::finishActivity_case2::~finishActivity_case2() {
    delete[] TheDistributionParameters;
}

void exp_systemSAN::finishActivity_case2::LinkVariables() {
    b_Mark = b->Value;
    b->addReference(&b_Mark, nullptr);
    a_Mark = a->Value;
    a->addReference(&a_Mark, nullptr);
}

bool exp_systemSAN::finishActivity_case2::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*b_Mark > 0);
    return CurrentlyEnabled;
}

double exp_systemSAN::finishActivity_case2::Weight() {
    return 0.6;
}

double exp_systemSAN::finishActivity_case2::Rate() {
    return 1.0;
}

bool exp_systemSAN::finishActivity_case2::ReactivationPredicate() {
    return false;
}

bool exp_systemSAN::finishActivity_case2::ReactivationFunction() {
    return false;
}

double exp_systemSAN::finishActivity_case2::SampleDistribution() {
    return TheDistribution->Exponential(1.0);
}

double* exp_systemSAN::finishActivity_case2::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int exp_systemSAN::finishActivity_case2::Rank() {
    return 1;
}

BaseActionClass* exp_systemSAN::finishActivity_case2::Fire() {
    *b_Mark -= 1;
    *a_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- tick

exp_systemSAN::tickActivity::tickActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("tick", 4, Exponential, DefaultPolicy, 1, 1, false);
}

exp_systemSAN::tickActivity::~tickActivity() {
    delete[] TheDistributionParameters;
}

void exp_systemSAN::tickActivity::LinkVariables() {
    count_Mark = count->Value;
    count->addReference(&count_Mark, nullptr);
}

bool exp_systemSAN::tickActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*count_Mark < count_limit);
    return CurrentlyEnabled;
}

double exp_systemSAN::tickActivity::Weight() {
    return 1;
}

double exp_systemSAN::tickActivity::Rate() {
#ifdef EXP_FAULTS
    if (Fault("rate") && *count_Mark >= 600)
        return -1.0;
#endif
    return 1.0;
}

bool exp_systemSAN::tickActivity::ReactivationPredicate() {
    return false;
}

bool exp_systemSAN::tickActivity::ReactivationFunction() {
    return false;
}

double exp_systemSAN::tickActivity::SampleDistribution() {
    return TheDistribution->Exponential(1.0);
}

double* exp_systemSAN::tickActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int exp_systemSAN::tickActivity::Rank() {
    return 1;
}

BaseActionClass* exp_systemSAN::tickActivity::Fire() {
    *count_Mark += 1;
    return this;
}
