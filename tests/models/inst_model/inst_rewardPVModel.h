#ifndef INST_REWARDPVMODEL_H
#define INST_REWARDPVMODEL_H

#include "BaseClasses/PVModel.h"

class PerformanceVariableNode;

// Reward model inst_reward on the atomic model inst_system, with one performance
// variable, where.
class inst_rewardPVModel : public PVModel {
  public:
    explicit inst_rewardPVModel(bool expandTimeArrays);
    ~inst_rewardPVModel() override;
    PerformanceVariableNode* createPVNode(int pvindex, int timeindex) override;
};

#endif
