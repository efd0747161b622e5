#ifndef UNIFORM_SYSTEMSAN_H
#define UNIFORM_SYSTEMSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model uniform_system: an exponential activity and one of distribution
// code 5 (uniform), which the state-space generator does not support.
class uniform_systemSAN : public SANModel {
  public:
    class tickActivity : public Activity {
      public:
        Place* p;
        short* p_Mark;
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

    class spreadActivity : public Activity {
      public:
        Place* p;
        short* p_Mark;
        double* TheDistributionParameters;

        spreadActivity();
        ~spreadActivity() override;
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

    tickActivity tick;
    spreadActivity spread;

    Place* p;

    uniform_systemSAN();
    ~uniform_systemSAN() override;
};

#endif
