#ifndef ASSEMBLYSAN_H
#define ASSEMBLYSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model assembly.
class assemblySAN : public SANModel {
  public:
    class tP12Activity : public Activity {
      public:
        Place* P12;
        short* P12_Mark;
        Place* P12wM3;
        short* P12wM3_Mark;
        Place* P1;
        short* P1_Mark;
        Place* P2;
        short* P2_Mark;
        Place* P3;
        short* P3_Mark;
        double* TheDistributionParameters;

        tP12Activity();
        ~tP12Activity() override;
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

    class tP12M3Activity : public Activity {
      public:
        Place* P12M3;
        short* P12M3_Mark;
        Place* P12s;
        short* P12s_Mark;
        Place* M3;
        short* M3_Mark;
        double* TheDistributionParameters;

        tP12M3Activity();
        ~tP12M3Activity() override;
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

    class tP12sActivity : public Activity {
      public:
        Place* P12s;
        short* P12s_Mark;
        Place* P1;
        short* P1_Mark;
        Place* P2;
        short* P2_Mark;
        double* TheDistributionParameters;

        tP12sActivity();
        ~tP12sActivity() override;
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

    class txActivity : public Activity {
      public:
        Place* P2wP1;
        short* P2wP1_Mark;
        Place* P1wP2;
        short* P1wP2_Mark;
        Place* P12;
        short* P12_Mark;

        txActivity();
        ~txActivity() override;
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

    class tM3Activity : public Activity {
      public:
        Place* P12wM3;
        short* P12wM3_Mark;
        Place* M3;
        short* M3_Mark;
        Place* P12M3;
        short* P12M3_Mark;

        tM3Activity();
        ~tM3Activity() override;
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

    tP12Activity tP12;
    tP12M3Activity tP12M3;
    tP12sActivity tP12s;
    txActivity tx;
    tM3Activity tM3;

    Place* P12;
    Place* P12wM3;
    Place* P12M3;
    Place* M3;
    Place* P12s;
    Place* P1wP2;
    Place* P2wP1;
    Place* P1;
    Place* P2;
    Place* P3;

    assemblySAN();
    ~assemblySAN() override;
};

#endif
