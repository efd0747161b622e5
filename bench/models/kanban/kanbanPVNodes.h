#ifndef KANBANPVNODES_H
#define KANBANPVNODES_H

#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "kanbanRJ.h"

// Performance variable parts_in_machining: the parts being machined in all four cells.
class kanbanPV0Worker : public InstantOfTime {
  public:
    cell1SAN* cell1;
    cell2SAN* cell2;
    cell3SAN* cell3;
    cell4SAN* cell4;

    kanbanPV0Worker();
    ~kanbanPV0Worker() override;
    double Reward_Function() override;
};

class kanbanPV0 : public PerformanceVariableNode {
  public:
    kanbanRJ* TheModelPtr;

    explicit kanbanPV0(int timeIndex);
    ~kanbanPV0() override;
    void CreateWorkerList() override;
};

// Performance variable throughput: the long-run rate of tin1 (1 while cell 1 holds a
// free kanban card), the rate at which parts enter and leave the system.
class kanbanPV1Worker : public InstantOfTime {
  public:
    cell1SAN* cell1;

    kanbanPV1Worker();
    ~kanbanPV1Worker() override;
    double Reward_Function() override;
};

class kanbanPV1 : public PerformanceVariableNode {
  public:
    kanbanRJ* TheModelPtr;

    explicit kanbanPV1(int timeIndex);
    ~kanbanPV1() override;
    void CreateWorkerList() override;
};

#endif
