#ifndef CELL4SAN_H
#define CELL4SAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model cell4.
class cell4SAN : public SANModel {
  public:
    class tredo4Activity : public Activity {
      public:
        Place* pm4;
        short* pm4_Mark;
        Place* pback4;
        short* pback4_Mark;
        double* TheDistributionParameters;

        tredo4Activity();
        ~tredo4Activity() override;
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

    class tok4Activity : public Activity {
      public:
        Place* pm4;
        short* pm4_Mark;
        Place* pout4;
        short* pout4_Mark;
        double* TheDistributionParameters;

        tok4Activity();
        ~tok4Activity() override;
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

    class tback4Activity : public Activity {
      public:
        Place* pback4;
        short* pback4_Mark;
        Place* pm4;
        short* pm4_Mark;
        double* TheDistributionParameters;

        tback4Activity();
        ~tback4Activity() override;
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

    class tout4Activity : public Activity {
      public:
        Place* pout4;
        short* pout4_Mark;
        Place* pkan4;
        short* pkan4_Mark;
        double* TheDistributionParameters;

        tout4Activity();
        ~tout4Activity() override;
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

    tredo4Activity tredo4;
    tok4Activity tok4;
    tback4Activity tback4;
    tout4Activity tout4;

    Place* pm4;
    Place* pback4;
    Place* pkan4;
    Place* pout4;

    cell4SAN();
    ~cell4SAN() override;
};

#endif
