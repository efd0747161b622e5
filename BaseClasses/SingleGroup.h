#ifndef SINGLEGROUP_H
#define SINGLEGROUP_H

#include "BaseClasses/BaseGroupClass.h"

// Wraps exactly one action.
class SingleGroup : public BaseGroupClass {
  public:
    BaseActionClass* Action;
    int CurrentlyEnabled;
    int PreviouslyEnabled;

    SingleGroup();

    virtual void SetAction(BaseActionClass* a);
    bool Enabled() override;
    bool EnablingChange() override;
    double Weight() override;
    double Rate() override;
    int Rank() override;
    double SampleDistribution() override;
    bool ReactivationPredicate() override;
    bool ReactivationFunction() override;
    BaseActionClass* Fire() override;
    double Probability(BaseActionClass* a) override;
    bool SelectAction() override;
};

#endif
