#ifndef DET_REWARDPVNODES_H
#define DET_REWARDPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "tests/models/det_model/det_systemSAN.h"

// Worker of down: the marking of broken.
class det_rewardPV0Worker : public InstantOfTime {
  public:
    det_systemSAN* det_system;

    det_rewardPV0Worker();
    ~det_rewardPV0Worker() override;
    double Reward_Function() override;
};

// Performance variable down: instant of time, reading broken of det_system.
class det_rewardPV0 : public PerformanceVariableNode {
  public:
    det_systemSAN* Thedet_systemSAN;

    explicit det_rewardPV0(int timeindex = 0);
    ~det_rewardPV0() override;
    void CreateWorkerList() override;
};

#endif
