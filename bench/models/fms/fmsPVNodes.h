#ifndef KANBANPVNODES_H
#define KANBANPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "fmsRJ.h"

// Performance variable parts_in_machines: the parts being worked on in every submodel.
class fmsPV0Worker : public InstantOfTime {
  public:
    type1SAN* type1;
    type2SAN* type2;
    type3SAN* type3;
    assemblySAN* assembly;

    fmsPV0Worker();
    ~fmsPV0Worker() override;
    double Reward_Function() override;
};

class fmsPV0 : public PerformanceVariableNode {
  public:
    fmsRJ* TheModelPtr;

    explicit fmsPV0(int timeIndex);
    ~fmsPV0() override;
    void CreateWorkerList() override;
};

#endif
