#ifndef KANBANPVMODEL_H
#define KANBANPVMODEL_H

#include "BaseClasses/PVModel.h"

// Reward model of the Kanban system.
class fmsPVModel : public PVModel {
  public:
    explicit fmsPVModel(bool expandTimes);
    ~fmsPVModel() override;
    PerformanceVariableNode* createPVNode(int pv, int timeIndex) override;
};

#endif
