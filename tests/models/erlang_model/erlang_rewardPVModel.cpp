#include "tests/models/erlang_model/erlang_rewardPVModel.h"

#include "tests/models/erlang_model/erlang_rewardPVNodes.h"
#include "tests/models/erlang_model/erlang_systemSAN.h"

erlang_rewardPVModel::erlang_rewardPVModel(bool expandTimeArrays) {
    TopModel = new erlang_systemSAN();
    DefineName("erlang_rewardPVModel");
    CreatePVList(1, expandTimeArrays);
    Initialize();
}

erlang_rewardPVModel::~erlang_rewardPVModel() {}

PerformanceVariableNode* erlang_rewardPVModel::createPVNode(int pvindex, int timeindex) {
    switch (pvindex) {
    case 0:
        return new erlang_rewardPV0(timeindex);
    }
    return nullptr;
}
