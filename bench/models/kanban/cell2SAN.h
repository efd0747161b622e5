#ifndef CELL2SAN_H
#define CELL2SAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model cell2.
class cell2SAN : public SANModel {
  public:
    class tredo2Activity : public Activity {
      public:
        Place* pm2;
        short* pm2_Mark;
        Place* pback2;
        short* pback2_Mark;
        double* TheDistributionParameters;

        tredo2Activity();
        ~tredo2Activity() override;
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

    class tok2Activity : public Activity {
      public:
        Place* pm2;
        short* pm2_Mark;
        Place* pout2;
        short* pout2_Mark;
        double* TheDistributionParameters;

        tok2Activity();
        ~tok2Activity() override;
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

    class tback2Activity : public Activity {
      public:
        Place* pback2;
        short* pback2_Mark;
        Place* pm2;
        short* pm2_Mark;
        double* TheDistributionParameters;

        tback2Activity();
        ~tback2Activity() override;
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

    class tsynch23_4Activity : public Activity {
      public:
        Place* pout2;
        short* pout2_Mark;
        Place* pout3;
        short* pout3_Mark;
        Place* pkan4;
        short* pkan4_Mark;
        Place* pkan2;
        short* pkan2_Mark;
        Place* pkan3;
        short* pkan3_Mark;
        Place* pm4;
        short* pm4_Mark;
        double* TheDistributionParameters;

        tsynch23_4Activity();
        ~tsynch23_4Activity() override;
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

    tredo2Activity tredo2;
    tok2Activity tok2;
    tback2Activity tback2;
    tsynch23_4Activity tsynch23_4;

    Place* pm2;
    Place* pback2;
    Place* pkan2;
    Place* pout2;
    Place* pout3;
    Place* pkan3;
    Place* pm4;
    Place* pkan4;

    cell2SAN();
    ~cell2SAN() override;
};

#endif
