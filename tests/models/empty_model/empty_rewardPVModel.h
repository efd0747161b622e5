#ifndef EMPTY_REWARDPVMODEL_H
#define EMPTY_REWARDPVMODEL_H

#include "BaseClasses/PVModel.h"

class PerformanceVariableNode;

// Reward model empty_reward on the atomic model empty_system, with one performance
// variable, nothing, that depends on no model.
class empty_rewardPVModel : public PVModel {
  public:
    explicit empty_rewardPVModel(bool expandTimeArrays);
    ~empty_rewardPVModel() override;
    PerformanceVariableNode* createPVNode(int pvindex, int timeindex) override;
};

#endif
