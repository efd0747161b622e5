#include "tests/models/exp_model/exp_rewardPVModel.h"

#include "tests/models/exp_model/exp_rewardPVNodes.h"
#include "tests/models/exp_model/exp_systemSAN.h"

exp_rewardPVModel::exp_rewardPVModel(bool expandTimeArrays) {
    TopModel = new exp_systemSAN();
    DefineName("exp_rewardPVModel");
    CreatePVList(1, expandTimeArrays);
    Initialize();
}

exp_rewardPVModel::~exp_rewardPVModel() {}

PerformanceVariableNode* exp_rewardPVModel::createPVNode(int pvindex, int timeindex) {
    switch (pvindex) {
    case 0:
        return new exp_rewardPV0(timeindex);
    }
    return nullptr;
}
