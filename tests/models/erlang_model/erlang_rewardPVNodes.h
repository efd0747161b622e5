#ifndef ERLANG_REWARDPVNODES_H
#define ERLANG_REWARDPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "tests/models/erlang_model/erlang_systemSAN.h"

// Worker of spares: the marking of spare.
class erlang_rewardPV0Worker : public InstantOfTime {
  public:
    erlang_systemSAN* erlang_system;

    erlang_rewardPV0Worker();
    ~erlang_rewardPV0Worker() override;
    double Reward_Function() override;
};

// Performance variable spares: instant of time, reading spare of erlang_system.
class erlang_rewardPV0 : public PerformanceVariableNode {
  public:
    erlang_systemSAN* Theerlang_systemSAN;

    explicit erlang_rewardPV0(int timeindex = 0);
    ~erlang_rewardPV0() override;
    void CreateWorkerList() override;
};

#endif
