#include "tests/models/inst_model/inst_rewardPVModel.h"

#include "tests/models/inst_model/inst_rewardPVNodes.h"
#include "tests/models/inst_model/inst_systemSAN.h"

inst_rewardPVModel::inst_rewardPVModel(bool expandTimeArrays) {
    TopModel = new inst_systemSAN();
    DefineName("inst_rewardPVModel");
    CreatePVList(1, expandTimeArrays);
    Initialize();
}

inst_rewardPVModel::~inst_rewardPVModel() {}

PerformanceVariableNode* inst_rewardPVModel::createPVNode(int pvindex, int timeindex) {
    switch (pvindex) {
    case 0:
        return new inst_rewardPV0(timeindex);
    }
    return nullptr;
}
