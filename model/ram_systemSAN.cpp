#include "model/ram_systemSAN.h"

#include "distributions/UserDistributions.h"
#include "model/redundant_flash_studyRangeStudy.h"

ram_systemSAN::ram_systemSAN() {
    // Groups: the cases of bit_error and of page_error, chosen when the activity fires.
    bit_errorGroup.initialize(2, "bit_errorGroup");
    bit_errorGroup.appendGroup(&bit_error_case1);
    bit_errorGroup.appendGroup(&bit_error_case2);

    page_errorGroup.initialize(2, "page_errorGroup");
    page_errorGroup.appendGroup(&page_error_case1);
    page_errorGroup.appendGroup(&page_error_case2);

    flash_corrupted = new Place("flash_corrupted", 0);
    ram_working = new Place("ram_working", 1);
    ram_corrupted = new Place("ram_corrupted", 0);
    system_failed = new Place("system_failed", 0);

    BaseStateVariableClass* InitialPlaces[4] = {flash_corrupted, ram_working, ram_corrupted,
                                                system_failed};
    Activity* InitialActionList[7] = {&failure,         &watchdog_reboot, &random_failure,
                                      &bit_error_case1, &bit_error_case2, &page_error_case1,
                                      &page_error_case2};
    // Timed activities and groups first, the instantaneous activity last.
    BaseGroupClass* InitialGroupList[5] = {&watchdog_reboot, &random_failure, &bit_errorGroup,
                                           &page_errorGroup, &failure};

    initializeSANModelNow("ram_system", 4, InitialPlaces, 0, nullptr, 7, InitialActionList, 5,
                          InitialGroupList);

    failure.flash_corrupted = static_cast<Place*>(Places[0]);
    failure.ram_corrupted = static_cast<Place*>(Places[2]);
    failure.system_failed = static_cast<Place*>(Places[3]);
    watchdog_reboot.ram_corrupted = static_cast<Place*>(Places[2]);
    watchdog_reboot.ram_working = static_cast<Place*>(Places[1]);
    random_failure.ram_corrupted = static_cast<Place*>(Places[2]);
    bit_error_case1.ram_working = static_cast<Place*>(Places[1]);
    bit_error_case2.ram_working = static_cast<Place*>(Places[1]);
    bit_error_case2.ram_corrupted = static_cast<Place*>(Places[2]);
    page_error_case1.ram_working = static_cast<Place*>(Places[1]);
    page_error_case2.ram_working = static_cast<Place*>(Places[1]);
    page_error_case2.ram_corrupted = static_cast<Place*>(Places[2]);

    AddAffectArc(system_failed, &failure);
    AddAffectArc(ram_working, &watchdog_reboot);
    AddAffectArc(ram_corrupted, &watchdog_reboot);
    AddAffectArc(ram_corrupted, &random_failure);
    AddAffectArc(ram_working, &bit_error_case1);
    AddAffectArc(ram_working, &bit_error_case2);
    AddAffectArc(ram_corrupted, &bit_error_case2);
    AddAffectArc(ram_working, &page_error_case1);
    AddAffectArc(ram_working, &page_error_case2);
    AddAffectArc(ram_corrupted, &page_error_case2);

    AddEnableArc(flash_corrupted, &failure);
    AddEnableArc(ram_corrupted, &failure);
    AddEnableArc(system_failed, &failure);
    AddEnableArc(ram_corrupted, &watchdog_reboot);
    AddEnableArc(ram_corrupted, &random_failure);
    AddEnableArc(ram_working, &bit_error_case1);
    AddEnableArc(ram_working, &bit_error_case2);
    AddEnableArc(ram_working, &page_error_case1);
    AddEnableArc(ram_working, &page_error_case2);

    for (int n = 0; n < 7; n++)
        InitialActionList[n]->LinkVariables();
}

ram_systemSAN::~ram_systemSAN() {
    for (int i = 0; i < NumStateVariables - NumReadOnlyPlaces; i++)
        delete Places[i];
}

// ---------------------------------------------------------------- failure

ram_systemSAN::failureActivity::failureActivity() {
    ActivityInitialize("failure", 4, Instantaneous, DefaultPolicy, 1, 3, false);
}

ram_systemSAN::failureActivity::~failureActivity() {}

void ram_systemSAN::failureActivity::LinkVariables() {
    flash_corrupted_Mark = flash_corrupted->Value;
    flash_corrupted->addReference(&flash_corrupted_Mark, nullptr);
    ram_corrupted_Mark = ram_corrupted->Value;
    ram_corrupted->addReference(&ram_corrupted_Mark, nullptr);
    system_failed_Mark = system_failed->Value;
    system_failed->addReference(&system_failed_Mark, nullptr);
}

bool ram_systemSAN::failureActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled =
        (*flash_corrupted_Mark > 0) && (*ram_corrupted_Mark > 0) && (*system_failed_Mark == 0);
    return CurrentlyEnabled;
}

double ram_systemSAN::failureActivity::Weight() {
    return 1;
}

double ram_systemSAN::failureActivity::Rate() {
    return 0;
}

bool ram_systemSAN::failureActivity::ReactivationPredicate() {
    return false;
}

bool ram_systemSAN::failureActivity::ReactivationFunction() {
    return false;
}

double ram_systemSAN::failureActivity::SampleDistribution() {
    return 0;
}

double* ram_systemSAN::failureActivity::ReturnDistributionParameters() {
    return nullptr;
}

int ram_systemSAN::failureActivity::Rank() {
    return 1;
}

BaseActionClass* ram_systemSAN::failureActivity::Fire() {
    *system_failed_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- watchdog_reboot

ram_systemSAN::watchdog_rebootActivity::watchdog_rebootActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("watchdog_reboot", 0, Deterministic, DefaultPolicy, 2, 1, false);
}

ram_systemSAN::watchdog_rebootActivity::~watchdog_rebootActivity() {
    delete[] TheDistributionParameters;
}

void ram_systemSAN::watchdog_rebootActivity::LinkVariables() {
    ram_corrupted_Mark = ram_corrupted->Value;
    ram_corrupted->addReference(&ram_corrupted_Mark, nullptr);
    ram_working_Mark = ram_working->Value;
    ram_working->addReference(&ram_working_Mark, nullptr);
}

bool ram_systemSAN::watchdog_rebootActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*ram_corrupted_Mark > 0);
    return CurrentlyEnabled;
}

double ram_systemSAN::watchdog_rebootActivity::Weight() {
    return 1;
}

double ram_systemSAN::watchdog_rebootActivity::Rate() {
    return 0;
}

bool ram_systemSAN::watchdog_rebootActivity::ReactivationPredicate() {
    return false;
}

bool ram_systemSAN::watchdog_rebootActivity::ReactivationFunction() {
    return false;
}

double ram_systemSAN::watchdog_rebootActivity::SampleDistribution() {
    return 0.00347;
}

double* ram_systemSAN::watchdog_rebootActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = 0.00347;
    return TheDistributionParameters;
}

int ram_systemSAN::watchdog_rebootActivity::Rank() {
    return 1;
}

BaseActionClass* ram_systemSAN::watchdog_rebootActivity::Fire() {
    *ram_working_Mark = 1;
    *ram_corrupted_Mark = 0;
    return this;
}

// ---------------------------------------------------------------- random_failure

ram_systemSAN::random_failureActivity::random_failureActivity() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("random_failure", 1, Exponential, DefaultPolicy, 1, 1, false);
}

ram_systemSAN::random_failureActivity::~random_failureActivity() {
    delete[] TheDistributionParameters;
}

void ram_systemSAN::random_failureActivity::LinkVariables() {
    ram_corrupted_Mark = ram_corrupted->Value;
    ram_corrupted->addReference(&ram_corrupted_Mark, nullptr);
}

bool ram_systemSAN::random_failureActivity::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*ram_corrupted_Mark == 0);
    return CurrentlyEnabled;
}

double ram_systemSAN::random_failureActivity::Weight() {
    return 1;
}

double ram_systemSAN::random_failureActivity::Rate() {
    return random_failure_rate;
}

bool ram_systemSAN::random_failureActivity::ReactivationPredicate() {
    return false;
}

bool ram_systemSAN::random_failureActivity::ReactivationFunction() {
    return false;
}

double ram_systemSAN::random_failureActivity::SampleDistribution() {
    return TheDistribution->Exponential(random_failure_rate);
}

double* ram_systemSAN::random_failureActivity::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int ram_systemSAN::random_failureActivity::Rank() {
    return 1;
}

BaseActionClass* ram_systemSAN::random_failureActivity::Fire() {
    *ram_corrupted_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- bit_error, case 1

ram_systemSAN::bit_errorActivity_case1::bit_errorActivity_case1() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("bit_error_case1", 2, Exponential, DefaultPolicy, 1, 1, false);
}

ram_systemSAN::bit_errorActivity_case1::~bit_errorActivity_case1() {
    delete[] TheDistributionParameters;
}

void ram_systemSAN::bit_errorActivity_case1::LinkVariables() {
    ram_working_Mark = ram_working->Value;
    ram_working->addReference(&ram_working_Mark, nullptr);
}

bool ram_systemSAN::bit_errorActivity_case1::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*ram_working_Mark > 0);
    return CurrentlyEnabled;
}

double ram_systemSAN::bit_errorActivity_case1::Weight() {
    return 1.0 - double(ram_size) * double(0.001953125f);
}

double ram_systemSAN::bit_errorActivity_case1::Rate() {
    return 6.012;
}

bool ram_systemSAN::bit_errorActivity_case1::ReactivationPredicate() {
    return false;
}

bool ram_systemSAN::bit_errorActivity_case1::ReactivationFunction() {
    return false;
}

double ram_systemSAN::bit_errorActivity_case1::SampleDistribution() {
    return TheDistribution->Exponential(6.012);
}

double* ram_systemSAN::bit_errorActivity_case1::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int ram_systemSAN::bit_errorActivity_case1::Rank() {
    return 1;
}

BaseActionClass* ram_systemSAN::bit_errorActivity_case1::Fire() {
    return this;
}

// ---------------------------------------------------------------- bit_error, case 2

ram_systemSAN::bit_errorActivity_case2::bit_errorActivity_case2() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("bit_error_case2", 2, Exponential, DefaultPolicy, 2, 1, false);
}

ram_systemSAN::bit_errorActivity_case2::~bit_errorActivity_case2() {
    delete[] TheDistributionParameters;
}

void ram_systemSAN::bit_errorActivity_case2::LinkVariables() {
    ram_working_Mark = ram_working->Value;
    ram_working->addReference(&ram_working_Mark, nullptr);
    ram_corrupted_Mark = ram_corrupted->Value;
    ram_corrupted->addReference(&ram_corrupted_Mark, nullptr);
}

bool ram_systemSAN::bit_errorActivity_case2::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*ram_working_Mark > 0);
    return CurrentlyEnabled;
}

double ram_systemSAN::bit_errorActivity_case2::Weight() {
    return double(ram_size) * double(0.001953125f);
}

double ram_systemSAN::bit_errorActivity_case2::Rate() {
    return 6.012;
}

bool ram_systemSAN::bit_errorActivity_case2::ReactivationPredicate() {
    return false;
}

bool ram_systemSAN::bit_errorActivity_case2::ReactivationFunction() {
    return false;
}

double ram_systemSAN::bit_errorActivity_case2::SampleDistribution() {
    return TheDistribution->Exponential(6.012);
}

double* ram_systemSAN::bit_errorActivity_case2::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int ram_systemSAN::bit_errorActivity_case2::Rank() {
    return 1;
}

BaseActionClass* ram_systemSAN::bit_errorActivity_case2::Fire() {
    *ram_working_Mark -= 1;
    *ram_corrupted_Mark += 1;
    return this;
}

// ---------------------------------------------------------------- page_error, case 1

ram_systemSAN::page_errorActivity_case1::page_errorActivity_case1() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("page_error_case1", 3, Exponential, DefaultPolicy, 1, 1, false);
}

ram_systemSAN::page_errorActivity_case1::~page_errorActivity_case1() {
    delete[] TheDistributionParameters;
}

void ram_systemSAN::page_errorActivity_case1::LinkVariables() {
    ram_working_Mark = ram_working->Value;
    ram_working->addReference(&ram_working_Mark, nullptr);
}

bool ram_systemSAN::page_errorActivity_case1::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*ram_working_Mark > 0);
    return CurrentlyEnabled;
}

double ram_systemSAN::page_errorActivity_case1::Weight() {
    return 0.75;
}

double ram_systemSAN::page_errorActivity_case1::Rate() {
    return 2.95e-06;
}

bool ram_systemSAN::page_errorActivity_case1::ReactivationPredicate() {
    return false;
}

bool ram_systemSAN::page_errorActivity_case1::ReactivationFunction() {
    return false;
}

double ram_systemSAN::page_errorActivity_case1::SampleDistribution() {
    return TheDistribution->Exponential(2.95e-06);
}

double* ram_systemSAN::page_errorActivity_case1::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int ram_systemSAN::page_errorActivity_case1::Rank() {
    return 1;
}

BaseActionClass* ram_systemSAN::page_errorActivity_case1::Fire() {
    return this;
}

// ---------------------------------------------------------------- page_error, case 2

ram_systemSAN::page_errorActivity_case2::page_errorActivity_case2() {
    TheDistributionParameters = new double[1];
    ActivityInitialize("page_error_case2", 3, Exponential, DefaultPolicy, 2, 1, false);
}

ram_systemSAN::page_errorActivity_case2::~page_errorActivity_case2() {
    delete[] TheDistributionParameters;
}

void ram_systemSAN::page_errorActivity_case2::LinkVariables() {
    ram_working_Mark = ram_working->Value;
    ram_working->addReference(&ram_working_Mark, nullptr);
    ram_corrupted_Mark = ram_corrupted->Value;
    ram_corrupted->addReference(&ram_corrupted_Mark, nullptr);
}

bool ram_systemSAN::page_errorActivity_case2::Enabled() {
    PreviouslyEnabled = CurrentlyEnabled;
    CurrentlyEnabled = (*ram_working_Mark > 0);
    return CurrentlyEnabled;
}

double ram_systemSAN::page_errorActivity_case2::Weight() {
    return 0.25;
}

double ram_systemSAN::page_errorActivity_case2::Rate() {
    return 2.95e-06;
}

bool ram_systemSAN::page_errorActivity_case2::ReactivationPredicate() {
    return false;
}

bool ram_systemSAN::page_errorActivity_case2::ReactivationFunction() {
    return false;
}

double ram_systemSAN::page_errorActivity_case2::SampleDistribution() {
    return TheDistribution->Exponential(2.95e-06);
}

double* ram_systemSAN::page_errorActivity_case2::ReturnDistributionParameters() {
    TheDistributionParameters[0] = Rate();
    return TheDistributionParameters;
}

int ram_systemSAN::page_errorActivity_case2::Rank() {
    return 1;
}

BaseActionClass* ram_systemSAN::page_errorActivity_case2::Fire() {
    *ram_working_Mark -= 1;
    *ram_corrupted_Mark += 1;
    return this;
}
