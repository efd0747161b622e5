#ifndef PRESELECTGROUP_H
#define PRESELECTGROUP_H

#include "BaseClasses/BaseGroupClass.h"

// The member is chosen before the group fires and stays chosen until it fires.
class PreselectGroup : public BaseGroupClass {
  public:
    bool NeedsSelection;

    PreselectGroup();
    explicit PreselectGroup(int n);

    bool Enabled() override;
    bool ReactivationPredicate() override;
    bool ReactivationFunction() override;
    double SampleDistribution() override;
    BaseActionClass* Fire() override;
    int Rank() override;
    bool SelectAction() override;
};

#endif
