#include "model/redundant_flash_rewardPVModel.h"

#include "model/redundant_flash_modelRJ.h"
#include "model/redundant_flash_rewardPVNodes.h"

redundant_flash_rewardPVModel::redundant_flash_rewardPVModel(bool expandTimeArrays) {
    TopModel = new redundant_flash_modelRJ();
    DefineName("redundant_flash_rewardPVModel");
    CreatePVList(1, expandTimeArrays);
    Initialize();
}

redundant_flash_rewardPVModel::~redundant_flash_rewardPVModel() {}

PerformanceVariableNode* redundant_flash_rewardPVModel::createPVNode(int pvindex, int timeindex) {
    switch (pvindex) {
    case 0:
        return new redundant_flash_rewardPV0(timeindex);
    }
    return nullptr;
}
