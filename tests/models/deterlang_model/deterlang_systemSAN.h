#ifndef DETERLANG_SYSTEMSAN_H
#define DETERLANG_SYSTEMSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model deterlang_system: a deterministic and an Erlang activity compete for
// one token, a mix of distributions the state-space generator cannot handle.
class deterlang_systemSAN : public SANModel {
  public:
    class timerActivity : public Activity {
      public:
        Place* p;
        short* p_Mark;
        double* TheDistributionParameters;

        timerActivity();
        ~timerActivity() override;
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

    class agerActivity : public Activity {
      public:
        Place* p;
        short* p_Mark;
        double* TheDistributionParameters;

        agerActivity();
        ~agerActivity() override;
        bool Enabled() override;
        double Weight() override;
        double Rate() override;
        bool ReactivationPredicate() override;
        bool ReactivationFunction() override;
        double SampleDistribution() override;
        double* ReturnDistributionParameters() override;
        BaseActionClass* Fire() override;
        int Rank() override;
        double ErlangParamM() override;
        void LinkVariables() override;
    };

    timerActivity timer;
    agerActivity ager;

    Place* p;

    deterlang_systemSAN();
    ~deterlang_systemSAN() override;
};

#endif
