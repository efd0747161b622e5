#ifndef DET_SYSTEMSAN_H
#define DET_SYSTEMSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model det_system: a working unit crashes (exponential) and is rebooted
// after the fixed delay 0.00347; with use_slow it may also drift (fixed delay
// second_delay) into a vanishing state that the two instantaneous cases of recover
// resolve, back to work or into checked (absorbing).
class det_systemSAN : public SANModel {
  public:
    class rebootActivity : public Activity {
      public:
        Place* broken;
        short* broken_Mark;
        Place* work;
        short* work_Mark;
        double* TheDistributionParameters;

        rebootActivity();
        ~rebootActivity() override;
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

    class crashActivity : public Activity {
      public:
        Place* work;
        short* work_Mark;
        Place* broken;
        short* broken_Mark;
        double* TheDistributionParameters;

        crashActivity();
        ~crashActivity() override;
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

    class driftActivity : public Activity {
      public:
        Place* work;
        short* work_Mark;
        Place* slow;
        short* slow_Mark;
        double* TheDistributionParameters;

        driftActivity();
        ~driftActivity() override;
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

    class recoverActivity_case1 : public Activity {
      public:
        Place* slow;
        short* slow_Mark;
        Place* work;
        short* work_Mark;

        recoverActivity_case1();
        ~recoverActivity_case1() override;
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

    class recoverActivity_case2 : public Activity {
      public:
        Place* slow;
        short* slow_Mark;
        Place* checked;
        short* checked_Mark;

        recoverActivity_case2();
        ~recoverActivity_case2() override;
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

    rebootActivity reboot;
    crashActivity crash;
    driftActivity drift;
    recoverActivity_case1 recover_case1;
    recoverActivity_case2 recover_case2;

    PostselectGroup recoverGroup;

    Place* work;
    Place* broken;
    Place* checked;
    Place* slow;

    det_systemSAN();
    ~det_systemSAN() override;
};

#endif
