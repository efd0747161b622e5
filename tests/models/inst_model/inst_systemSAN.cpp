#include "tests/models/inst_model/inst_systemSAN.h"

#include "distributions/UserDistributions.h"
#include "tests/models/inst_model/inst_studyRangeStudy.h"

inst_systemSAN::inst_systemSAN() {
    start = new Place("start", 1);
    vanish = new Place("vanish", initial_vanish);
    left = new Place("left", 0);
    right = new Place("right", 0);
    done = new Place("done", 0);
    chain = new Place("chain", 0);

    BaseStateVariableClass* InitialPlaces[6] = {start, vanish, left, right, done, chain};
    Activity* InitialActionList[7] = {&go,          &pick_left, &pick_right, &merge_left,
                                      &merge_right, &undo,      &step};
    BaseGroupClass* InitialGroupList[7] = {&go,          &pick_left, &pick_right, &merge_left,
                                           &merge_right, &undo,      &step};

    initializeSANModelNow("inst_system", 6, InitialPlaces, 0, nullptr, 7, InitialActionList, 7,
                          InitialGroupList);

    go.start = static_cast<Place*>(Places[0]);
    go.vanish = static_cast<Place*>(Places[1]);
    go.chain = static_cast<Place*>(Places[5]);
    pick_left.vanish = static_cast<Place*>(Places[1]);
    pick_left.left = static_cast<Place*>(Places[2]);
    pick_right.vanish = static_cast<Place*>(Places[1]);
    pick_right.right = static_cast<Place*>(Places[3]);
    merge_left.left = static_cast<Place*>(Places[2]);
    merge_left.done = static_cast<Place*>(Places[4]);
    merge_right.right = static_cast<Place*>(Places[3]);
    merge_right.done = static_cast<Place*>(Places[4]);
    undo.right = static_cast<Place*>(Places[3]);
    undo.start = static_cast<Place*>(Places[0]);
    step.chain = static_cast<Place*>(Places[5]);

    AddAffectArc(start, &go);
    AddAffectArc(vanish, &go);
    AddAffectArc(chain, &go);
    AddAffectArc(vanish, &pick_left);
    AddAffectArc(left, &pick_left);
    AddAffectArc(vanish, &pick_right);
    AddAffectArc(right, &pick_right);
    AddAffectArc(left, &merge_left);
    AddAffectArc(done, &merge_left);
    AddAffectArc(right, &merge_right);
    AddAffectArc(done, &merge_right);
    AddAffectArc(right, &undo);
    AddAffectArc(start, &undo);
    AddAffectArc(chain, &step);

    AddEnableArc(start, &go);
    AddEnableArc(vanish, &pick_left);
    AddEnableArc(vanish, &pick_right);
    AddEnableArc(left, &merge_left);
    AddEnableArc(right, &merge_right);
    AddEnableArc(right, &undo);
    AddEnableArc(chain, &step);

    for (int n = 0; n < 7; n++)
        InitialActionList[n]->LinkVariables();
}

inst_systemSAN::~inst_systemSAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}

// ---------------------------------------------------------------- go

inst_systemSAN::goActivity::goActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("go", 0, Exponential, DefaultPolicy, 3, 1, false);
}

inst_systemSAN::goActivity::~goActivity() {
    delete[] TheDistributionParameters;
}

void inst_systemSAN::goActivity::LinkVariables() {
    start_Mark = start->Value;
    start->addReference(&start_Mark, nullptr);
    vanish_Mark = vanish->Value;
    vanish->addReference(&vanish_Mark, nullptr);
    chain_Mark = chain->Value;
    chain->addReference(&chain_Mark, nullptr);
}

bool inst_systemSAN::goActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*start_Mark > 0);
    return CurrentlyEnabled;
}

double inst_systemSAN::goActivity::Weight() {
    return 1;
}

double inst_systemSAN::goActivity::Rate() {
    return 2.0;
}

bool inst_systemSAN::goActivity::ReactivationPredicate() {
    return false;
}

bool inst_systemSAN::goActivity::ReactivationFunction() {
    return false;
}

double inst_systemSAN::goActivity::SampleDistribution() {
    return TheDistribution->Exponential(2.0);
}

double* inst_systemSAN::goActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int inst_systemSAN::goActivity::Rank() {
    return 1;
}

BaseActionClass* inst_systemSAN::goActivity::Fire() {
    *start_Mark -= 1;
    *vanish_Mark += split_tokens;
    *chain_Mark += chain_length;
    return this;
}

// ---------------------------------------------------------------- pick_left

inst_systemSAN::pick_leftActivity::pick_leftActivity() {
    ActivityInitialize("pick_left", 1, Instantaneous, DefaultPolicy, 2, 1, false);
}

inst_systemSAN::pick_leftActivity::~pick_leftActivity() {}

void inst_systemSAN::pick_leftActivity::LinkVariables() {
    vanish_Mark = vanish->Value;
    vanish->addReference(&vanish_Mark, nullptr);
    left_Mark = left->Value;
    left->addReference(&left_Mark, nullptr);
}

bool inst_systemSAN::pick_leftActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*vanish_Mark > 0);
    return CurrentlyEnabled;
}

double inst_systemSAN::pick_leftActivity::Weight() {
    return left_weight;
}

double inst_systemSAN::pick_leftActivity::Rate() {
    return 0;
}

bool inst_systemSAN::pick_leftActivity::ReactivationPredicate() {
    return false;
}

bool inst_systemSAN::pick_leftActivity::ReactivationFunction() {
    return false;
}

double inst_systemSAN::pick_leftActivity::SampleDistribution() {
    return 0;
}

double* inst_systemSAN::pick_leftActivity::ReturnDistributionParameters() {
    return nullptr;
}

int inst_systemSAN::pick_leftActivity::Rank() {
    return left_rank;
}

BaseActionClass* inst_systemSAN::pick_leftActivity::Fire() {
    *vanish_Mark -= 1;
    *left_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- pick_right

inst_systemSAN::pick_rightActivity::pick_rightActivity() {
    ActivityInitialize("pick_right", 2, Instantaneous, DefaultPolicy, 2, 1, false);
}

inst_systemSAN::pick_rightActivity::~pick_rightActivity() {}

void inst_systemSAN::pick_rightActivity::LinkVariables() {
    vanish_Mark = vanish->Value;
    vanish->addReference(&vanish_Mark, nullptr);
    right_Mark = right->Value;
    right->addReference(&right_Mark, nullptr);
}

bool inst_systemSAN::pick_rightActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*vanish_Mark > 0);
    return CurrentlyEnabled;
}

double inst_systemSAN::pick_rightActivity::Weight() {
    return right_weight;
}

double inst_systemSAN::pick_rightActivity::Rate() {
    return 0;
}

bool inst_systemSAN::pick_rightActivity::ReactivationPredicate() {
    return false;
}

bool inst_systemSAN::pick_rightActivity::ReactivationFunction() {
    return false;
}

double inst_systemSAN::pick_rightActivity::SampleDistribution() {
    return 0;
}

double* inst_systemSAN::pick_rightActivity::ReturnDistributionParameters() {
    return nullptr;
}

int inst_systemSAN::pick_rightActivity::Rank() {
    return right_rank;
}

BaseActionClass* inst_systemSAN::pick_rightActivity::Fire() {
    *vanish_Mark -= 1;
    *right_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- merge_left

inst_systemSAN::merge_leftActivity::merge_leftActivity() {
    ActivityInitialize("merge_left", 3, Instantaneous, DefaultPolicy, 2, 1, false);
}

inst_systemSAN::merge_leftActivity::~merge_leftActivity() {}

void inst_systemSAN::merge_leftActivity::LinkVariables() {
    left_Mark = left->Value;
    left->addReference(&left_Mark, nullptr);
    done_Mark = done->Value;
    done->addReference(&done_Mark, nullptr);
}

bool inst_systemSAN::merge_leftActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*left_Mark > 0 && merge > 0);
    return CurrentlyEnabled;
}

double inst_systemSAN::merge_leftActivity::Weight() {
    return 1;
}

double inst_systemSAN::merge_leftActivity::Rate() {
    return 0;
}

bool inst_systemSAN::merge_leftActivity::ReactivationPredicate() {
    return false;
}

bool inst_systemSAN::merge_leftActivity::ReactivationFunction() {
    return false;
}

double inst_systemSAN::merge_leftActivity::SampleDistribution() {
    return 0;
}

double* inst_systemSAN::merge_leftActivity::ReturnDistributionParameters() {
    return nullptr;
}

int inst_systemSAN::merge_leftActivity::Rank() {
    return 1;
}

BaseActionClass* inst_systemSAN::merge_leftActivity::Fire() {
    *left_Mark -= 1;
    *done_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- merge_right

inst_systemSAN::merge_rightActivity::merge_rightActivity() {
    ActivityInitialize("merge_right", 4, Instantaneous, DefaultPolicy, 2, 1, false);
}

inst_systemSAN::merge_rightActivity::~merge_rightActivity() {}

void inst_systemSAN::merge_rightActivity::LinkVariables() {
    right_Mark = right->Value;
    right->addReference(&right_Mark, nullptr);
    done_Mark = done->Value;
    done->addReference(&done_Mark, nullptr);
}

bool inst_systemSAN::merge_rightActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*right_Mark > 0 && merge > 0);
    return CurrentlyEnabled;
}

double inst_systemSAN::merge_rightActivity::Weight() {
    return 1;
}

double inst_systemSAN::merge_rightActivity::Rate() {
    return 0;
}

bool inst_systemSAN::merge_rightActivity::ReactivationPredicate() {
    return false;
}

bool inst_systemSAN::merge_rightActivity::ReactivationFunction() {
    return false;
}

double inst_systemSAN::merge_rightActivity::SampleDistribution() {
    return 0;
}

double* inst_systemSAN::merge_rightActivity::ReturnDistributionParameters() {
    return nullptr;
}

int inst_systemSAN::merge_rightActivity::Rank() {
    return 1;
}

BaseActionClass* inst_systemSAN::merge_rightActivity::Fire() {
    *right_Mark -= 1;
    *done_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- undo

inst_systemSAN::undoActivity::undoActivity() {
    ActivityInitialize("undo", 5, Instantaneous, DefaultPolicy, 2, 1, false);
}

inst_systemSAN::undoActivity::~undoActivity() {}

void inst_systemSAN::undoActivity::LinkVariables() {
    right_Mark = right->Value;
    right->addReference(&right_Mark, nullptr);
    start_Mark = start->Value;
    start->addReference(&start_Mark, nullptr);
}

bool inst_systemSAN::undoActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*right_Mark > 0 && back > 0);
    return CurrentlyEnabled;
}

double inst_systemSAN::undoActivity::Weight() {
    return 1;
}

double inst_systemSAN::undoActivity::Rate() {
    return 0;
}

bool inst_systemSAN::undoActivity::ReactivationPredicate() {
    return false;
}

bool inst_systemSAN::undoActivity::ReactivationFunction() {
    return false;
}

double inst_systemSAN::undoActivity::SampleDistribution() {
    return 0;
}

double* inst_systemSAN::undoActivity::ReturnDistributionParameters() {
    return nullptr;
}

int inst_systemSAN::undoActivity::Rank() {
    return 1;
}

BaseActionClass* inst_systemSAN::undoActivity::Fire() {
    *right_Mark -= 1;
    *start_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- step

inst_systemSAN::stepActivity::stepActivity() {
    ActivityInitialize("step", 6, Instantaneous, DefaultPolicy, 1, 1, false);
}

inst_systemSAN::stepActivity::~stepActivity() {}

void inst_systemSAN::stepActivity::LinkVariables() {
    chain_Mark = chain->Value;
    chain->addReference(&chain_Mark, nullptr);
}

bool inst_systemSAN::stepActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*chain_Mark > 0);
    return CurrentlyEnabled;
}

double inst_systemSAN::stepActivity::Weight() {
    return 1;
}

double inst_systemSAN::stepActivity::Rate() {
    return 0;
}

bool inst_systemSAN::stepActivity::ReactivationPredicate() {
    return false;
}

bool inst_systemSAN::stepActivity::ReactivationFunction() {
    return false;
}

double inst_systemSAN::stepActivity::SampleDistribution() {
    return 0;
}

double* inst_systemSAN::stepActivity::ReturnDistributionParameters() {
    return nullptr;
}

int inst_systemSAN::stepActivity::Rank() {
    return 1;
}

BaseActionClass* inst_systemSAN::stepActivity::Fire() {
    *chain_Mark -= 1;
    return this;
}
