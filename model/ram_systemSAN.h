#ifndef RAM_SYSTEMSAN_H
#define RAM_SYSTEMSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model ram_system: a memory that bit errors, page errors and random
// failures corrupt and a watchdog reboot repairs after a fixed delay. The system
// fails when the memory is corrupted while the flash copy (flash_corrupted, shared
// with redundant_flash_system in the composed model) is corrupted too.
//
// Every activity keeps, per attached place, the place and a cached pointer to its
// marking. The cached pointer is registered with the place, so sharing the place
// later redirects it to the shared storage.
class ram_systemSAN : public SANModel {
  public:
    class failureActivity : public Activity {
      public:
        Place* flash_corrupted;
        short* flash_corrupted_Mark;
        Place* ram_corrupted;
        short* ram_corrupted_Mark;
        Place* system_failed;
        short* system_failed_Mark;

        failureActivity();
        ~failureActivity() override;
        bool Enabled() override;
        double Weight() override;
        double Rate() override;
        bool ReactivationPredicate() override;
        bool ReactivationFunction() override;
        double SampleDistribution() override;
        double* ReturnDistributionParameters() override;
        BaseActionClass* Fire() override;
        int Rank() override;
        void LinkVariables() override;
    };

    class watchdog_rebootActivity : public Activity {
      public:
        Place* ram_corrupted;
        short* ram_corrupted_Mark;
        Place* ram_working;
        short* ram_working_Mark;
        double* TheDistributionParameters;

        watchdog_rebootActivity();
        ~watchdog_rebootActivity() override;
        bool Enabled() override;
        double Weight() override;
        double Rate() override;
        bool ReactivationPredicate() override;
        bool ReactivationFunction() override;
        double SampleDistribution() override;
        double* ReturnDistributionParameters() override;
        BaseActionClass* Fire() override;
        int Rank() override;
        void LinkVariables() override;
    };

    class random_failureActivity : public Activity {
      public:
        Place* ram_corrupted;
        short* ram_corrupted_Mark;
        double* TheDistributionParameters;

        random_failureActivity();
        ~random_failureActivity() override;
        bool Enabled() override;
        double Weight() override;
        double Rate() override;
        bool ReactivationPredicate() override;
        bool ReactivationFunction() override;
        double SampleDistribution() override;
        double* ReturnDistributionParameters() override;
        BaseActionClass* Fire() override;
        int Rank() override;
        void LinkVariables() override;
    };

    class bit_errorActivity_case1 : public Activity {
      public:
        Place* ram_working;
        short* ram_working_Mark;
        double* TheDistributionParameters;

        bit_errorActivity_case1();
        ~bit_errorActivity_case1() override;
        bool Enabled() override;
        double Weight() override;
        double Rate() override;
        bool ReactivationPredicate() override;
        bool ReactivationFunction() override;
        double SampleDistribution() override;
        double* ReturnDistributionParameters() override;
        BaseActionClass* Fire() override;
        int Rank() override;
        void LinkVariables() override;
    };

    class bit_errorActivity_case2 : public Activity {
      public:
        Place* ram_working;
        short* ram_working_Mark;
        Place* ram_corrupted;
        short* ram_corrupted_Mark;
        double* TheDistributionParameters;

        bit_errorActivity_case2();
        ~bit_errorActivity_case2() override;
        bool Enabled() override;
        double Weight() override;
        double Rate() override;
        bool ReactivationPredicate() override;
        bool ReactivationFunction() override;
        double SampleDistribution() override;
        double* ReturnDistributionParameters() override;
        BaseActionClass* Fire() override;
        int Rank() override;
        void LinkVariables() override;
    };

    class page_errorActivity_case1 : public Activity {
      public:
        Place* ram_working;
        short* ram_working_Mark;
        double* TheDistributionParameters;

        page_errorActivity_case1();
        ~page_errorActivity_case1() override;
        bool Enabled() override;
        double Weight() override;
        double Rate() override;
        bool ReactivationPredicate() override;
        bool ReactivationFunction() override;
        double SampleDistribution() override;
        double* ReturnDistributionParameters() override;
        BaseActionClass* Fire() override;
        int Rank() override;
        void LinkVariables() override;
    };

    class page_errorActivity_case2 : public Activity {
      public:
        Place* ram_working;
        short* ram_working_Mark;
        Place* ram_corrupted;
        short* ram_corrupted_Mark;
        double* TheDistributionParameters;

        page_errorActivity_case2();
        ~page_errorActivity_case2() override;
        bool Enabled() override;
        double Weight() override;
        double Rate() override;
        bool ReactivationPredicate() override;
        bool ReactivationFunction() override;
        double SampleDistribution() override;
        double* ReturnDistributionParameters() override;
        BaseActionClass* Fire() override;
        int Rank() override;
        void LinkVariables() override;
    };

    // Activities, in the order of the model's activity array; constructed (and
    // numbered) before the groups.
    failureActivity failure;
    watchdog_rebootActivity watchdog_reboot;
    random_failureActivity random_failure;
    bit_errorActivity_case1 bit_error_case1;
    bit_errorActivity_case2 bit_error_case2;
    page_errorActivity_case1 page_error_case1;
    page_errorActivity_case2 page_error_case2;

    PostselectGroup bit_errorGroup;
    PostselectGroup page_errorGroup;

    // Places, in the order of the model's state-variable array; owned.
    Place* flash_corrupted;
    Place* ram_working;
    Place* ram_corrupted;
    Place* system_failed;

    ram_systemSAN();
    ~ram_systemSAN() override;
};

#endif
