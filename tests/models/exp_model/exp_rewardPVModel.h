#ifndef EXP_REWARDPVMODEL_H
#define EXP_REWARDPVMODEL_H

#include "BaseClasses/PVModel.h"

class PerformanceVariableNode;

// Reward model exp_reward on the atomic model exp_system, with one performance
// variable, done.
class exp_rewardPVModel : public PVModel {
  public:
    explicit exp_rewardPVModel(bool expandTimeArrays);
    ~exp_rewardPVModel() override;
    PerformanceVariableNode* createPVNode(int pvindex, int timeindex) override;
};

#endif
