#ifndef EMPTYGROUP_H
#define EMPTYGROUP_H

#include "BaseClasses/SingleGroup.h"

// A group without members ("ImmediateGroup"): every question answers no or zero.
class EmptyGroup : public SingleGroup {
  public:
    EmptyGroup();

    void SetAction(BaseActionClass* a) override;
    bool Enabled() override;
    bool EnablingChange() override;
    bool ReactivationPredicate() override;
    bool ReactivationFunction() override;
    double Weight() override;
    double Rate() override;
    double SampleDistribution() override;
    double Probability(BaseActionClass* a) override;
    int Rank() override;
    BaseActionClass* Fire() override;
    bool SelectAction() override;
    void SetImpulseList(int, double) {}
    void CreateImpulseList(int) {}
};

#endif
