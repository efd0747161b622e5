#ifndef ERLANG_REWARDPVMODEL_H
#define ERLANG_REWARDPVMODEL_H

#include "BaseClasses/PVModel.h"

class PerformanceVariableNode;

// Reward model erlang_reward on the atomic model erlang_system, with one performance
// variable, spares.
class erlang_rewardPVModel : public PVModel {
  public:
    explicit erlang_rewardPVModel(bool expandTimeArrays);
    ~erlang_rewardPVModel() override;
    PerformanceVariableNode* createPVNode(int pvindex, int timeindex) override;
};

#endif
