#include "fmsPVNodes.h"

fmsPV0Worker::fmsPV0Worker() {
    NumModelSlots = 4;
    ModelSlots = new BaseModelClass**[4];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&type1);
    ModelSlots[1] = reinterpret_cast<BaseModelClass**>(&type2);
    ModelSlots[2] = reinterpret_cast<BaseModelClass**>(&type3);
    ModelSlots[3] = reinterpret_cast<BaseModelClass**>(&assembly);
}

fmsPV0Worker::~fmsPV0Worker() {
    delete[] ModelSlots;
}

double fmsPV0Worker::Reward_Function() {
    return type1->P1M1->getMark() + type2->P2M2->getMark() + type3->P3M2->getMark() +
           assembly->P12M3->getMark();
}

fmsPV0::fmsPV0(int timeIndex) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&TheModelPtr);
    double startPts[1] = {1.0};
    double stopPts[1] = {1.0};
    Initialize("parts_in_machines", static_cast<RewardType>(0), 1, startPts, stopPts, timeIndex, 0,
               4, 4);
    AddVariableDependency("P1M1", "type1");
    AddVariableDependency("P2M2", "type2");
    AddVariableDependency("P3M2", "type3");
    AddVariableDependency("P12M3", "assembly");
}

fmsPV0::~fmsPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        delete Workers[i];
    }
}

void fmsPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new fmsPV0Worker();
}
