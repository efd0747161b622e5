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

// Performance variable productivity: the long-run rate at which finished parts earn,
// 400, 600 and 100 per part of types 1, 2 and 3 and 1100 per assembled part, each
// activity's rate being the marking-dependent rate of its part type entering.
class fmsPV1Worker : public InstantOfTime {
  public:
    type1SAN* type1;
    type2SAN* type2;
    type3SAN* type3;
    assemblySAN* assembly;

    fmsPV1Worker();
    ~fmsPV1Worker() override;
    double Reward_Function() override;
};

class fmsPV1 : public PerformanceVariableNode {
  public:
    fmsRJ* TheModelPtr;

    explicit fmsPV1(int timeIndex);
    ~fmsPV1() override;
    void CreateWorkerList() override;
};

#endif
