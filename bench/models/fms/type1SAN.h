#ifndef TYPE1SAN_H
#define TYPE1SAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model type1.
class type1SAN : public SANModel {
  public:
    class tP1Activity : public Activity {
      public:
        Place* P1;
        short* P1_Mark;
        Place* P1wM1;
        short* P1wM1_Mark;
        Place* P2;
        short* P2_Mark;
        Place* P3;
        short* P3_Mark;
        Place* P12;
        short* P12_Mark;
        double* TheDistributionParameters;

        tP1Activity();
        ~tP1Activity() override;
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

    class tP1M1Activity : public Activity {
      public:
        Place* P1M1;
        short* P1M1_Mark;
        Place* M1;
        short* M1_Mark;
        Place* P1d;
        short* P1d_Mark;
        double* TheDistributionParameters;

        tP1M1Activity();
        ~tP1M1Activity() override;
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

    class tP1sActivity : public Activity {
      public:
        Place* P1s;
        short* P1s_Mark;
        Place* P1;
        short* P1_Mark;
        double* TheDistributionParameters;

        tP1sActivity();
        ~tP1sActivity() override;
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

    class tM1Activity : public Activity {
      public:
        Place* P1wM1;
        short* P1wM1_Mark;
        Place* M1;
        short* M1_Mark;
        Place* P1M1;
        short* P1M1_Mark;

        tM1Activity();
        ~tM1Activity() override;
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

    class tP1eActivity : public Activity {
      public:
        Place* P1d;
        short* P1d_Mark;
        Place* P1s;
        short* P1s_Mark;

        tP1eActivity();
        ~tP1eActivity() override;
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

    class tP1jActivity : public Activity {
      public:
        Place* P1d;
        short* P1d_Mark;
        Place* P1wP2;
        short* P1wP2_Mark;

        tP1jActivity();
        ~tP1jActivity() override;
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

    tP1Activity tP1;
    tP1M1Activity tP1M1;
    tP1sActivity tP1s;
    tM1Activity tM1;
    tP1eActivity tP1e;
    tP1jActivity tP1j;

    Place* P1;
    Place* P1wM1;
    Place* P1M1;
    Place* M1;
    Place* P1d;
    Place* P1s;
    Place* P1wP2;
    Place* P2;
    Place* P3;
    Place* P12;

    type1SAN();
    ~type1SAN() override;
};

#endif
