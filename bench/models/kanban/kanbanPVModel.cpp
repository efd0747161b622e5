#include "kanbanPVModel.h"

#include "kanbanPVNodes.h"
#include "kanbanRJ.h"

kanbanPVModel::kanbanPVModel(bool expandTimes) {
    TopModel = new kanbanRJ();
    DefineName("kanbanPVModel");
    CreatePVList(2, expandTimes);
    Initialize();
}

kanbanPVModel::~kanbanPVModel() {}

PerformanceVariableNode* kanbanPVModel::createPVNode(int pv, int timeIndex) {
    switch (pv) {
    case 0:
        return new kanbanPV0(timeIndex);
    case 1:
        return new kanbanPV1(timeIndex);
    }
    return nullptr;
}
