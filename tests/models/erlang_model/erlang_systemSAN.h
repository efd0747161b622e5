#ifndef ERLANG_SYSTEMSAN_H
#define ERLANG_SYSTEMSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model erlang_system: two units fail (exponential) and are repaired by an
// Erlang activity of two phases with two cases, back into service or into the
// spare pool, from which restore (exponential) returns them.
class erlang_systemSAN : public SANModel {
  public:
    class failActivity : public Activity {
      public:
        Place* up;
        short* up_Mark;
        Place* down;
        short* down_Mark;
        double* TheDistributionParameters;

        failActivity();
        ~failActivity() override;
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

    class repairActivity_case1 : public Activity {
      public:
        Place* down;
        short* down_Mark;
        Place* up;
        short* up_Mark;
        double* TheDistributionParameters;

        repairActivity_case1();
        ~repairActivity_case1() override;
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

    class repairActivity_case2 : public Activity {
      public:
        Place* down;
        short* down_Mark;
        Place* spare;
        short* spare_Mark;
        double* TheDistributionParameters;

        repairActivity_case2();
        ~repairActivity_case2() override;
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

    class restoreActivity : public Activity {
      public:
        Place* spare;
        short* spare_Mark;
        Place* up;
        short* up_Mark;
        double* TheDistributionParameters;

        restoreActivity();
        ~restoreActivity() override;
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

    failActivity fail;
    repairActivity_case1 repair_case1;
    repairActivity_case2 repair_case2;
    restoreActivity restore;

    PostselectGroup repairGroup;

    Place* up;
    Place* down;
    Place* spare;

    erlang_systemSAN();
    ~erlang_systemSAN() override;
};

#endif
