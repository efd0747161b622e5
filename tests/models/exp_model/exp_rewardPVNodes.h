#ifndef EXP_REWARDPVNODES_H
#define EXP_REWARDPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "tests/models/exp_model/exp_systemSAN.h"

// Worker of done: the marking of c in its exp_system instance.
class exp_rewardPV0Worker : public InstantOfTime {
  public:
    exp_systemSAN* exp_system;

    exp_rewardPV0Worker();
    ~exp_rewardPV0Worker() override;
    double Reward_Function() override;
};

// Performance variable done: instant of time at 10, reading c of exp_system.
class exp_rewardPV0 : public PerformanceVariableNode {
  public:
    exp_systemSAN* Theexp_systemSAN;

    explicit exp_rewardPV0(int timeindex = 0);
    ~exp_rewardPV0() override;
    void CreateWorkerList() override;
};

#endif
