#ifndef CELL3SAN_H
#define CELL3SAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model cell3.
class cell3SAN : public SANModel {
  public:
    class tredo3Activity : public Activity {
      public:
        Place* pm3;
        short* pm3_Mark;
        Place* pback3;
        short* pback3_Mark;
        double* TheDistributionParameters;

        tredo3Activity();
        ~tredo3Activity() override;
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

    class tok3Activity : public Activity {
      public:
        Place* pm3;
        short* pm3_Mark;
        Place* pout3;
        short* pout3_Mark;
        double* TheDistributionParameters;

        tok3Activity();
        ~tok3Activity() override;
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

    class tback3Activity : public Activity {
      public:
        Place* pback3;
        short* pback3_Mark;
        Place* pm3;
        short* pm3_Mark;
        double* TheDistributionParameters;

        tback3Activity();
        ~tback3Activity() override;
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

    tredo3Activity tredo3;
    tok3Activity tok3;
    tback3Activity tback3;

    Place* pm3;
    Place* pback3;
    Place* pkan3;
    Place* pout3;

    cell3SAN();
    ~cell3SAN() override;
};

#endif
