#ifndef UNIFORM_REWARDPVMODEL_H
#define UNIFORM_REWARDPVMODEL_H

#include "BaseClasses/PVModel.h"

class PerformanceVariableNode;

// Reward model uniform_reward on the atomic model uniform_system, with one performance
// variable, token.
class uniform_rewardPVModel : public PVModel {
  public:
    explicit uniform_rewardPVModel(bool expandTimeArrays);
    ~uniform_rewardPVModel() override;
    PerformanceVariableNode* createPVNode(int pvindex, int timeindex) override;
};

#endif
