#ifndef CELL1SAN_H
#define CELL1SAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model cell1.
class cell1SAN : public SANModel {
  public:
    class tin1Activity : public Activity {
      public:
        Place* pkan1;
        short* pkan1_Mark;
        Place* pm1;
        short* pm1_Mark;
        double* TheDistributionParameters;

        tin1Activity();
        ~tin1Activity() override;
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

    class tredo1Activity : public Activity {
      public:
        Place* pm1;
        short* pm1_Mark;
        Place* pback1;
        short* pback1_Mark;
        double* TheDistributionParameters;

        tredo1Activity();
        ~tredo1Activity() override;
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

    class tok1Activity : public Activity {
      public:
        Place* pm1;
        short* pm1_Mark;
        Place* pout1;
        short* pout1_Mark;
        double* TheDistributionParameters;

        tok1Activity();
        ~tok1Activity() override;
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

    class tback1Activity : public Activity {
      public:
        Place* pback1;
        short* pback1_Mark;
        Place* pm1;
        short* pm1_Mark;
        double* TheDistributionParameters;

        tback1Activity();
        ~tback1Activity() override;
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

    class tsynch1_23Activity : public Activity {
      public:
        Place* pout1;
        short* pout1_Mark;
        Place* pkan2;
        short* pkan2_Mark;
        Place* pkan3;
        short* pkan3_Mark;
        Place* pkan1;
        short* pkan1_Mark;
        Place* pm2;
        short* pm2_Mark;
        Place* pm3;
        short* pm3_Mark;
        double* TheDistributionParameters;

        tsynch1_23Activity();
        ~tsynch1_23Activity() override;
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

    tin1Activity tin1;
    tredo1Activity tredo1;
    tok1Activity tok1;
    tback1Activity tback1;
    tsynch1_23Activity tsynch1_23;

    Place* pm1;
    Place* pback1;
    Place* pkan1;
    Place* pout1;
    Place* pm2;
    Place* pkan2;
    Place* pm3;
    Place* pkan3;

    cell1SAN();
    ~cell1SAN() override;
};

#endif
