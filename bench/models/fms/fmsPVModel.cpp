#include "fmsPVModel.h"

#include "fmsPVNodes.h"
#include "fmsRJ.h"

fmsPVModel::fmsPVModel(bool expandTimes) {
    TopModel = new fmsRJ();
    DefineName("fmsPVModel");
    CreatePVList(2, expandTimes);
    Initialize();
}

fmsPVModel::~fmsPVModel() {}

PerformanceVariableNode* fmsPVModel::createPVNode(int pv, int timeIndex) {
    switch (pv) {
    case 0:
        return new fmsPV0(timeIndex);
    case 1:
        return new fmsPV1(timeIndex);
    }
    return nullptr;
}
