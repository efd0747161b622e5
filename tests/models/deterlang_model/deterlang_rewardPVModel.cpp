#include "tests/models/deterlang_model/deterlang_rewardPVModel.h"

#include "tests/models/deterlang_model/deterlang_rewardPVNodes.h"
#include "tests/models/deterlang_model/deterlang_systemSAN.h"

deterlang_rewardPVModel::deterlang_rewardPVModel(bool expandTimeArrays) {
    TopModel = new deterlang_systemSAN();
    DefineName("deterlang_rewardPVModel");
    CreatePVList(1, expandTimeArrays);
    Initialize();
}

deterlang_rewardPVModel::~deterlang_rewardPVModel() {}

PerformanceVariableNode* deterlang_rewardPVModel::createPVNode(int pvindex, int timeindex) {
    switch (pvindex) {
    case 0:
        return new deterlang_rewardPV0(timeindex);
    }
    return nullptr;
}
