#include "tests/models/det_model/det_rewardPVModel.h"

#include "tests/models/det_model/det_rewardPVNodes.h"
#include "tests/models/det_model/det_systemSAN.h"

det_rewardPVModel::det_rewardPVModel(bool expandTimeArrays) {
    TopModel = new det_systemSAN();
    DefineName("det_rewardPVModel");
    CreatePVList(1, expandTimeArrays);
    Initialize();
}

det_rewardPVModel::~det_rewardPVModel() {}

PerformanceVariableNode* det_rewardPVModel::createPVNode(int pvindex, int timeindex) {
    switch (pvindex) {
    case 0:
        return new det_rewardPV0(timeindex);
    }
    return nullptr;
}
