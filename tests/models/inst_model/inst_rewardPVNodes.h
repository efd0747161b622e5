#ifndef INST_REWARDPVNODES_H
#define INST_REWARDPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "tests/models/inst_model/inst_systemSAN.h"

// Worker of where: left + 10 right + 100 done, telling which stable state was reached.
class inst_rewardPV0Worker : public InstantOfTime {
  public:
    inst_systemSAN* inst_system;

    inst_rewardPV0Worker();
    ~inst_rewardPV0Worker() override;
    double Reward_Function() override;
};

// Performance variable where: instant of time, reading left of inst_system.
class inst_rewardPV0 : public PerformanceVariableNode {
  public:
    inst_systemSAN* Theinst_systemSAN;

    explicit inst_rewardPV0(int timeindex = 0);
    ~inst_rewardPV0() override;
    void CreateWorkerList() override;
};

#endif
