#ifndef DETERLANG_REWARDPVNODES_H
#define DETERLANG_REWARDPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "tests/models/deterlang_model/deterlang_systemSAN.h"

// Worker of token: the marking of p.
class deterlang_rewardPV0Worker : public InstantOfTime {
  public:
    deterlang_systemSAN* deterlang_system;

    deterlang_rewardPV0Worker();
    ~deterlang_rewardPV0Worker() override;
    double Reward_Function() override;
};

// Performance variable token: instant of time, reading p of deterlang_system.
class deterlang_rewardPV0 : public PerformanceVariableNode {
  public:
    deterlang_systemSAN* Thedeterlang_systemSAN;

    explicit deterlang_rewardPV0(int timeindex = 0);
    ~deterlang_rewardPV0() override;
    void CreateWorkerList() override;
};

#endif
