#ifndef KANBANPVMODEL_H
#define KANBANPVMODEL_H

#include "BaseClasses/PVModel.h"

// Reward model of the Kanban system.
class kanbanPVModel : public PVModel {
  public:
    explicit kanbanPVModel(bool expandTimes);
    ~kanbanPVModel() override;
    PerformanceVariableNode* createPVNode(int pv, int timeIndex) override;
};

#endif
