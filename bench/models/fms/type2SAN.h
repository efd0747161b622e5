#ifndef TYPE2SAN_H
#define TYPE2SAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model type2.
class type2SAN : public SANModel {
  public:
    class tP2Activity : public Activity {
      public:
        Place* P2;
        short* P2_Mark;
        Place* P2wM2;
        short* P2wM2_Mark;
        Place* P1;
        short* P1_Mark;
        Place* P3;
        short* P3_Mark;
        Place* P12;
        short* P12_Mark;
        double* TheDistributionParameters;

        tP2Activity();
        ~tP2Activity() override;
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

    class tP2M2Activity : public Activity {
      public:
        Place* P2M2;
        short* P2M2_Mark;
        Place* M2;
        short* M2_Mark;
        Place* P2d;
        short* P2d_Mark;
        double* TheDistributionParameters;

        tP2M2Activity();
        ~tP2M2Activity() override;
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

    class tP2sActivity : public Activity {
      public:
        Place* P2s;
        short* P2s_Mark;
        Place* P2;
        short* P2_Mark;
        double* TheDistributionParameters;

        tP2sActivity();
        ~tP2sActivity() override;
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

    class tM2Activity : public Activity {
      public:
        Place* P2wM2;
        short* P2wM2_Mark;
        Place* M2;
        short* M2_Mark;
        Place* P2M2;
        short* P2M2_Mark;

        tM2Activity();
        ~tM2Activity() override;
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

    class tP2eActivity : public Activity {
      public:
        Place* P2d;
        short* P2d_Mark;
        Place* P2s;
        short* P2s_Mark;

        tP2eActivity();
        ~tP2eActivity() override;
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

    class tP2jActivity : public Activity {
      public:
        Place* P2d;
        short* P2d_Mark;
        Place* P2wP1;
        short* P2wP1_Mark;

        tP2jActivity();
        ~tP2jActivity() override;
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

    tP2Activity tP2;
    tP2M2Activity tP2M2;
    tP2sActivity tP2s;
    tM2Activity tM2;
    tP2eActivity tP2e;
    tP2jActivity tP2j;

    Place* P2;
    Place* P2wM2;
    Place* P2M2;
    Place* M2;
    Place* P2d;
    Place* P2s;
    Place* P2wP1;
    Place* P1;
    Place* P3;
    Place* P12;

    type2SAN();
    ~type2SAN() override;
};

#endif
