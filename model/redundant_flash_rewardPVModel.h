#ifndef REDUNDANT_FLASH_REWARDPVMODEL_H
#define REDUNDANT_FLASH_REWARDPVMODEL_H

#include "BaseClasses/PVModel.h"

class PerformanceVariableNode;

// Reward model redundant_flash_reward on the composed model redundant_flash_model,
// with one performance variable, reliability. Building it builds every model; with
// expandTimeArrays each of reliability's three time points is a node of its own,
// otherwise there is one node, for the first time point.
class redundant_flash_rewardPVModel : public PVModel {
  public:
    explicit redundant_flash_rewardPVModel(bool expandTimeArrays);
    ~redundant_flash_rewardPVModel() override;
    // A new node of performance variable pvindex at time index timeindex; null for
    // a variable this model does not define.
    PerformanceVariableNode* createPVNode(int pvindex, int timeindex) override;
};

#endif
