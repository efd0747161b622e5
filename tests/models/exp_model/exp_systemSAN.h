#ifndef EXP_SYSTEMSAN_H
#define EXP_SYSTEMSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model exp_system: a token moves from a to b by two parallel activities
// (move_fast, move_slow), idles in b (a self-loop), and leaves b through the two
// cases of finish, either into c (absorbing) or back to a. A separate counter,
// tick, raises count up to count_limit. Every activity is exponential.
class exp_systemSAN : public SANModel {
  public:
    class move_fastActivity : public Activity {
      public:
        Place* a;
        short* a_Mark;
        Place* b;
        short* b_Mark;
        double* TheDistributionParameters;

        move_fastActivity();
        ~move_fastActivity() override;
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

    class move_slowActivity : public Activity {
      public:
        Place* a;
        short* a_Mark;
        Place* b;
        short* b_Mark;
        double* TheDistributionParameters;

        move_slowActivity();
        ~move_slowActivity() override;
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

    class idleActivity : public Activity {
      public:
        Place* b;
        short* b_Mark;
        double* TheDistributionParameters;

        idleActivity();
        ~idleActivity() override;
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

    class finishActivity_case1 : public Activity {
      public:
        Place* b;
        short* b_Mark;
        Place* c;
        short* c_Mark;
        double* TheDistributionParameters;

        finishActivity_case1();
        ~finishActivity_case1() override;
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

    class finishActivity_case2 : public Activity {
      public:
        Place* b;
        short* b_Mark;
        Place* a;
        short* a_Mark;
        double* TheDistributionParameters;

        finishActivity_case2();
        ~finishActivity_case2() override;
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

    class tickActivity : public Activity {
      public:
        Place* count;
        short* count_Mark;
        double* TheDistributionParameters;

        tickActivity();
        ~tickActivity() override;
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

    move_fastActivity move_fast;
    move_slowActivity move_slow;
    idleActivity idle;
    finishActivity_case1 finish_case1;
    finishActivity_case2 finish_case2;
    tickActivity tick;

    PostselectGroup finishGroup;

    Place* a;
    Place* b;
    Place* c;
    Place* count;

    exp_systemSAN();
    ~exp_systemSAN() override;
#ifdef EXP_FAULTS
    bool CompareState(void* a, void* b) override;
    void CurrentState(void* p) override;
#endif
};

#endif
