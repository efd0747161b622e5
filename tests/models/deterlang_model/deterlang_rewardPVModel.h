#ifndef DETERLANG_REWARDPVMODEL_H
#define DETERLANG_REWARDPVMODEL_H

#include "BaseClasses/PVModel.h"

class PerformanceVariableNode;

// Reward model deterlang_reward on the atomic model deterlang_system, with one performance
// variable, token.
class deterlang_rewardPVModel : public PVModel {
  public:
    explicit deterlang_rewardPVModel(bool expandTimeArrays);
    ~deterlang_rewardPVModel() override;
    PerformanceVariableNode* createPVNode(int pvindex, int timeindex) override;
};

#endif
