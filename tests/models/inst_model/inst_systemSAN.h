#ifndef INST_SYSTEMSAN_H
#define INST_SYSTEMSAN_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"

// Atomic model inst_system: the timed activity go (exponential, rate 2) puts
// split_tokens tokens into vanish and chain_length tokens into chain.
// Instantaneous activities then empty them: pick_left and pick_right compete for
// vanish (weights and ranks from global variables), merge_left and merge_right
// join both sides in done, undo returns a right token to start, and step drains
// chain one token per firing.
class inst_systemSAN : public SANModel {
  public:
    class goActivity : public Activity {
      public:
        Place* start;
        short* start_Mark;
        Place* vanish;
        short* vanish_Mark;
        Place* chain;
        short* chain_Mark;
        double* TheDistributionParameters;

        goActivity();
        ~goActivity() override;
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

    class pick_leftActivity : public Activity {
      public:
        Place* vanish;
        short* vanish_Mark;
        Place* left;
        short* left_Mark;

        pick_leftActivity();
        ~pick_leftActivity() override;
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

    class pick_rightActivity : public Activity {
      public:
        Place* vanish;
        short* vanish_Mark;
        Place* right;
        short* right_Mark;

        pick_rightActivity();
        ~pick_rightActivity() override;
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

    class merge_leftActivity : public Activity {
      public:
        Place* left;
        short* left_Mark;
        Place* done;
        short* done_Mark;

        merge_leftActivity();
        ~merge_leftActivity() override;
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

    class merge_rightActivity : public Activity {
      public:
        Place* right;
        short* right_Mark;
        Place* done;
        short* done_Mark;

        merge_rightActivity();
        ~merge_rightActivity() override;
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

    class undoActivity : public Activity {
      public:
        Place* right;
        short* right_Mark;
        Place* start;
        short* start_Mark;

        undoActivity();
        ~undoActivity() override;
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

    class stepActivity : public Activity {
      public:
        Place* chain;
        short* chain_Mark;

        stepActivity();
        ~stepActivity() override;
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

    goActivity go;
    pick_leftActivity pick_left;
    pick_rightActivity pick_right;
    merge_leftActivity merge_left;
    merge_rightActivity merge_right;
    undoActivity undo;
    stepActivity step;

    Place* start;
    Place* vanish;
    Place* left;
    Place* right;
    Place* done;
    Place* chain;

    inst_systemSAN();
    ~inst_systemSAN() override;
};

#endif
