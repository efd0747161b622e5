#include "tests/models/uniform_model/uniform_rewardPVModel.h"

#include "tests/models/uniform_model/uniform_rewardPVNodes.h"
#include "tests/models/uniform_model/uniform_systemSAN.h"

uniform_rewardPVModel::uniform_rewardPVModel(bool expandTimeArrays) {
    TopModel = new uniform_systemSAN();
    DefineName("uniform_rewardPVModel");
    CreatePVList(1, expandTimeArrays);
    Initialize();
}

uniform_rewardPVModel::~uniform_rewardPVModel() {}

PerformanceVariableNode* uniform_rewardPVModel::createPVNode(int pvindex, int timeindex) {
    switch (pvindex) {
    case 0:
        return new uniform_rewardPV0(timeindex);
    }
    return nullptr;
}
