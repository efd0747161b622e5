#ifndef EMPTY_REWARDPVNODES_H
#define EMPTY_REWARDPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "tests/models/empty_model/empty_systemSAN.h"

// Worker of nothing: a constant reward (no worker is made, as the variable depends
// on no model).
class empty_rewardPV0Worker : public InstantOfTime {
  public:
    empty_rewardPV0Worker();
    ~empty_rewardPV0Worker() override;
    double Reward_Function() override;
};

// Performance variable nothing: instant of time at 1.
class empty_rewardPV0 : public PerformanceVariableNode {
  public:
    empty_systemSAN* Theempty_systemSAN;

    explicit empty_rewardPV0(int timeindex = 0);
    ~empty_rewardPV0() override;
    void CreateWorkerList() override;
};

#endif
