#ifndef TYPE3SAN_H
#define TYPE3SAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model type3.
class type3SAN : public SANModel {
  public:
    class tP3Activity : public Activity {
      public:
        Place* P3;
        short* P3_Mark;
        Place* P3M2;
        short* P3M2_Mark;
        Place* P1;
        short* P1_Mark;
        Place* P2;
        short* P2_Mark;
        Place* P12;
        short* P12_Mark;
        double* TheDistributionParameters;

        tP3Activity();
        ~tP3Activity() override;
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

    class tP3M2Activity : public Activity {
      public:
        Place* P3M2;
        short* P3M2_Mark;
        Place* P3s;
        short* P3s_Mark;
        Place* M2;
        short* M2_Mark;
        double* TheDistributionParameters;

        tP3M2Activity();
        ~tP3M2Activity() override;
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

    class tP3sActivity : public Activity {
      public:
        Place* P3s;
        short* P3s_Mark;
        Place* P3;
        short* P3_Mark;
        double* TheDistributionParameters;

        tP3sActivity();
        ~tP3sActivity() override;
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

    tP3Activity tP3;
    tP3M2Activity tP3M2;
    tP3sActivity tP3s;

    Place* P3;
    Place* P3M2;
    Place* P3s;
    Place* M2;
    Place* P1;
    Place* P2;
    Place* P12;

    type3SAN();
    ~type3SAN() override;
};

#endif
