#include "tests/models/empty_model/empty_rewardPVModel.h"

#include "tests/models/empty_model/empty_rewardPVNodes.h"
#include "tests/models/empty_model/empty_systemSAN.h"

empty_rewardPVModel::empty_rewardPVModel(bool expandTimeArrays) {
    TopModel = new empty_systemSAN();
    DefineName("empty_rewardPVModel");
    CreatePVList(1, expandTimeArrays);
    Initialize();
}

empty_rewardPVModel::~empty_rewardPVModel() {}

PerformanceVariableNode* empty_rewardPVModel::createPVNode(int pvindex, int timeindex) {
    switch (pvindex) {
    case 0:
        return new empty_rewardPV0(timeindex);
    }
    return nullptr;
}
