#ifndef DET_REWARDPVMODEL_H
#define DET_REWARDPVMODEL_H

#include "BaseClasses/PVModel.h"

class PerformanceVariableNode;

// Reward model det_reward on the atomic model det_system, with one performance
// variable, down.
class det_rewardPVModel : public PVModel {
  public:
    explicit det_rewardPVModel(bool expandTimeArrays);
    ~det_rewardPVModel() override;
    PerformanceVariableNode* createPVNode(int pvindex, int timeindex) override;
};

#endif
