#ifndef REDUNDANT_FLASH_SYSTEMSAN_H
#define REDUNDANT_FLASH_SYSTEMSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model redundant_flash_system: a flash store held in num_replicas copies.
// Single-event upsets (seu) lose one copy at a time, a functional interrupt (sefi)
// loses all of them, and a power cycle after a fixed delay restores every copy.
// Losing the last copy marks flash_corrupted, which ram_system shares.
//
// Every activity keeps, per attached place, the place and a cached pointer to its
// marking. The cached pointer is registered with the place, so sharing the place
// later redirects it to the shared storage.
class redundant_flash_systemSAN : public SANModel {
  public:
    class seuActivity_case1 : public Activity {
      public:
        Place* replicas_available;
        short* replicas_available_Mark;
        double* TheDistributionParameters;

        seuActivity_case1();
        ~seuActivity_case1() override;
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

    class seuActivity_case2 : public Activity {
      public:
        Place* replicas_available;
        short* replicas_available_Mark;
        Place* flash_corrupted;
        short* flash_corrupted_Mark;
        double* TheDistributionParameters;

        seuActivity_case2();
        ~seuActivity_case2() override;
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

    class sefiActivity : public Activity {
      public:
        Place* replicas_available;
        short* replicas_available_Mark;
        Place* flash_corrupted;
        short* flash_corrupted_Mark;
        double* TheDistributionParameters;

        sefiActivity();
        ~sefiActivity() override;
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

    class power_cycleActivity : public Activity {
      public:
        Place* replicas_available;
        short* replicas_available_Mark;
        Place* flash_corrupted;
        short* flash_corrupted_Mark;
        double* TheDistributionParameters;

        power_cycleActivity();
        ~power_cycleActivity() override;
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
    // numbered) before the group.
    seuActivity_case1 seu_case1;
    seuActivity_case2 seu_case2;
    sefiActivity sefi;
    power_cycleActivity power_cycle;

    PostselectGroup seuGroup;

    // Places, in the order of the model's state-variable array; owned.
    Place* flash_corrupted;
    Place* replicas_available;

    // replicas_available starts at num_replicas as it is at construction.
    redundant_flash_systemSAN();
    ~redundant_flash_systemSAN() override;
};

#endif
