#ifndef UNIFORM_REWARDPVNODES_H
#define UNIFORM_REWARDPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "tests/models/uniform_model/uniform_systemSAN.h"

// Worker of token: the marking of p.
class uniform_rewardPV0Worker : public InstantOfTime {
  public:
    uniform_systemSAN* uniform_system;

    uniform_rewardPV0Worker();
    ~uniform_rewardPV0Worker() override;
    double Reward_Function() override;
};

// Performance variable token: instant of time, reading p of uniform_system.
class uniform_rewardPV0 : public PerformanceVariableNode {
  public:
    uniform_systemSAN* Theuniform_systemSAN;

    explicit uniform_rewardPV0(int timeindex = 0);
    ~uniform_rewardPV0() override;
    void CreateWorkerList() override;
};

#endif
