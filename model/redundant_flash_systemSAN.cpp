#include "model/redundant_flash_systemSAN.h"

#include "distributions/UserDistributions.h"
#include "model/redundant_flash_studyRangeStudy.h"

redundant_flash_systemSAN::redundant_flash_systemSAN() {
    // Group: the two cases of seu, chosen when the activity fires.
    seuGroup.initialize(2, "seuGroup");
    seuGroup.appendGroup(&seu_case1);
    seuGroup.appendGroup(&seu_case2);

    flash_corrupted = new Place("flash_corrupted", 0);
    replicas_available = new Place("replicas_available", num_replicas);

    BaseStateVariableClass* InitialPlaces[2] = {flash_corrupted, replicas_available};
    Activity* InitialActionList[4] = {&seu_case1, &seu_case2, &sefi, &power_cycle};
    BaseGroupClass* InitialGroupList[3] = {&seuGroup, &sefi, &power_cycle};

    initializeSANModelNow("redundant_flash_system", 2, InitialPlaces, 0, nullptr, 4,
                          InitialActionList, 3, InitialGroupList);

    seu_case1.replicas_available = static_cast<Place*>(Places[1]);
    seu_case2.replicas_available = static_cast<Place*>(Places[1]);
    seu_case2.flash_corrupted = static_cast<Place*>(Places[0]);
    sefi.replicas_available = static_cast<Place*>(Places[1]);
    sefi.flash_corrupted = static_cast<Place*>(Places[0]);
    power_cycle.replicas_available = static_cast<Place*>(Places[1]);
    power_cycle.flash_corrupted = static_cast<Place*>(Places[0]);

    AddAffectArc(replicas_available, &seu_case1);
    AddAffectArc(replicas_available, &seu_case2);
    AddAffectArc(flash_corrupted, &seu_case2);
    AddAffectArc(replicas_available, &sefi);
    AddAffectArc(flash_corrupted, &sefi);
    AddAffectArc(replicas_available, &power_cycle);
    AddAffectArc(flash_corrupted, &power_cycle);

    AddEnableArc(replicas_available, &seu_case1);
    AddEnableArc(replicas_available, &seu_case2);
    AddEnableArc(replicas_available, &sefi);
    AddEnableArc(replicas_available, &power_cycle);

    for (int n = 0; n < 4; n++)
        InitialActionList[n]->LinkVariables();
}

redundant_flash_systemSAN::~redundant_flash_systemSAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}

// ---------------------------------------------------------------- seu, case 1

redundant_flash_systemSAN::seuActivity_case1::seuActivity_case1() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("seu_case1", 0, Exponential, DefaultPolicy, 1, 1, false);
}

redundant_flash_systemSAN::seuActivity_case1::~seuActivity_case1() {
    delete[] TheDistributionParameters;
}

void redundant_flash_systemSAN::seuActivity_case1::LinkVariables() {
    replicas_available_Mark = replicas_available->Value;
    replicas_available->addReference(&replicas_available_Mark, nullptr);
}

bool redundant_flash_systemSAN::seuActivity_case1::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*replicas_available_Mark > 0);
    return CurrentlyEnabled;
}

double redundant_flash_systemSAN::seuActivity_case1::Weight() {
    return 1.0 - double(*replicas_available_Mark) * double(flash_size) * double(0.001953125f);
}

double redundant_flash_systemSAN::seuActivity_case1::Rate() {
    return 1.5e-16;
}

bool redundant_flash_systemSAN::seuActivity_case1::ReactivationPredicate() {
    return false;
}

bool redundant_flash_systemSAN::seuActivity_case1::ReactivationFunction() {
    return false;
}

double redundant_flash_systemSAN::seuActivity_case1::SampleDistribution() {
    return TheDistribution->Exponential(1.5e-16);
}

double* redundant_flash_systemSAN::seuActivity_case1::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int redundant_flash_systemSAN::seuActivity_case1::Rank() {
    return 1;
}

BaseActionClass* redundant_flash_systemSAN::seuActivity_case1::Fire() {
    // The copy is taken and put back: a firing that changes no marking.
    *replicas_available_Mark -= 1;
    *replicas_available_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- seu, case 2

redundant_flash_systemSAN::seuActivity_case2::seuActivity_case2() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("seu_case2", 0, Exponential, DefaultPolicy, 2, 1, false);
}

redundant_flash_systemSAN::seuActivity_case2::~seuActivity_case2() {
    delete[] TheDistributionParameters;
}

void redundant_flash_systemSAN::seuActivity_case2::LinkVariables() {
    replicas_available_Mark = replicas_available->Value;
    replicas_available->addReference(&replicas_available_Mark, nullptr);
    flash_corrupted_Mark = flash_corrupted->Value;
    flash_corrupted->addReference(&flash_corrupted_Mark, nullptr);
}

bool redundant_flash_systemSAN::seuActivity_case2::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*replicas_available_Mark > 0);
    return CurrentlyEnabled;
}

double redundant_flash_systemSAN::seuActivity_case2::Weight() {
    return double(*replicas_available_Mark) * double(flash_size) * double(0.001953125f);
}

double redundant_flash_systemSAN::seuActivity_case2::Rate() {
    return 1.5e-16;
}

bool redundant_flash_systemSAN::seuActivity_case2::ReactivationPredicate() {
    return false;
}

bool redundant_flash_systemSAN::seuActivity_case2::ReactivationFunction() {
    return false;
}

double redundant_flash_systemSAN::seuActivity_case2::SampleDistribution() {
    return TheDistribution->Exponential(1.5e-16);
}

double* redundant_flash_systemSAN::seuActivity_case2::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int redundant_flash_systemSAN::seuActivity_case2::Rank() {
    return 1;
}

BaseActionClass* redundant_flash_systemSAN::seuActivity_case2::Fire() {
    *replicas_available_Mark -= 1;
    if (*replicas_available_Mark == 0)
        *flash_corrupted_Mark = 1;
    return this;
}

// ---------------------------------------------------------------- sefi

redundant_flash_systemSAN::sefiActivity::sefiActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("sefi", 1, Exponential, DefaultPolicy, 2, 1, false);
}

redundant_flash_systemSAN::sefiActivity::~sefiActivity() {
    delete[] TheDistributionParameters;
}

void redundant_flash_systemSAN::sefiActivity::LinkVariables() {
    replicas_available_Mark = replicas_available->Value;
    replicas_available->addReference(&replicas_available_Mark, nullptr);
    flash_corrupted_Mark = flash_corrupted->Value;
    flash_corrupted->addReference(&flash_corrupted_Mark, nullptr);
}

bool redundant_flash_systemSAN::sefiActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*replicas_available_Mark > 0);
    return CurrentlyEnabled;
}

double redundant_flash_systemSAN::sefiActivity::Weight() {
    return 1;
}

double redundant_flash_systemSAN::sefiActivity::Rate() {
    return 0.00274;
}

bool redundant_flash_systemSAN::sefiActivity::ReactivationPredicate() {
    return false;
}

bool redundant_flash_systemSAN::sefiActivity::ReactivationFunction() {
    return false;
}

double redundant_flash_systemSAN::sefiActivity::SampleDistribution() {
    return TheDistribution->Exponential(0.00274);
}

double* redundant_flash_systemSAN::sefiActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int redundant_flash_systemSAN::sefiActivity::Rank() {
    return 1;
}

BaseActionClass* redundant_flash_systemSAN::sefiActivity::Fire() {
    *replicas_available_Mark = 0;
    *flash_corrupted_Mark = 1;
    return this;
}

// ---------------------------------------------------------------- power_cycle

redundant_flash_systemSAN::power_cycleActivity::power_cycleActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("power_cycle", 2, Deterministic, DefaultPolicy, 2, 1, false);
}

redundant_flash_systemSAN::power_cycleActivity::~power_cycleActivity() {
    delete[] TheDistributionParameters;
}

void redundant_flash_systemSAN::power_cycleActivity::LinkVariables() {
    replicas_available_Mark = replicas_available->Value;
    replicas_available->addReference(&replicas_available_Mark, nullptr);
    flash_corrupted_Mark = flash_corrupted->Value;
    flash_corrupted->addReference(&flash_corrupted_Mark, nullptr);
}

bool redundant_flash_systemSAN::power_cycleActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*replicas_available_Mark < num_replicas);
    return CurrentlyEnabled;
}

double redundant_flash_systemSAN::power_cycleActivity::Weight() {
    return 1;
}

double redundant_flash_systemSAN::power_cycleActivity::Rate() {
    return 0;
}

bool redundant_flash_systemSAN::power_cycleActivity::ReactivationPredicate() {
    return false;
}

bool redundant_flash_systemSAN::power_cycleActivity::ReactivationFunction() {
    return false;
}

// The global variable is the delay itself, not a rate.
double redundant_flash_systemSAN::power_cycleActivity::SampleDistribution() {
    return power_cycle_rate;
}

double* redundant_flash_systemSAN::power_cycleActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = power_cycle_rate;
    return TheDistributionParameters;
}

int redundant_flash_systemSAN::power_cycleActivity::Rank() {
    return 1;
}

BaseActionClass* redundant_flash_systemSAN::power_cycleActivity::Fire() {
    *replicas_available_Mark = num_replicas;
    *flash_corrupted_Mark = 0;
    return this;
}
