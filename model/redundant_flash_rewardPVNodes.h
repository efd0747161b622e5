#ifndef REDUNDANT_FLASH_REWARDPVNODES_H
#define REDUNDANT_FLASH_REWARDPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "model/ram_systemSAN.h"
#include "model/redundant_flash_modelRJ.h"

// Worker of reliability: the marking of system_failed in its ram_system instance.
// The framework writes that instance through ModelSlots[0] (FixWorkerList).
class redundant_flash_rewardPV0Worker : public InstantOfTime {
  public:
    ram_systemSAN* ram_system;

    redundant_flash_rewardPV0Worker();
    ~redundant_flash_rewardPV0Worker() override;
    double Reward_Function() override;
};

// Performance variable reliability: instant of time at 30, 180 and 365, reading
// system_failed of ram_system (1 once the system has failed, else 0).
class redundant_flash_rewardPV0 : public PerformanceVariableNode {
  public:
    // Receives the top-level model through TopModelRef (FixReferences).
    redundant_flash_modelRJ* Theredundant_flash_modelRJ;

    explicit redundant_flash_rewardPV0(int timeindex = 0);
    ~redundant_flash_rewardPV0() override;
    void CreateWorkerList() override;
};

#endif
