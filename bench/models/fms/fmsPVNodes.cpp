#include "fmsPVNodes.h"

#include "fmsRangeStudy.h"

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

fmsPV1Worker::fmsPV1Worker() {
    NumModelSlots = 4;
    ModelSlots = new BaseModelClass**[4];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&type1);
    ModelSlots[1] = reinterpret_cast<BaseModelClass**>(&type2);
    ModelSlots[2] = reinterpret_cast<BaseModelClass**>(&type3);
    ModelSlots[3] = reinterpret_cast<BaseModelClass**>(&assembly);
}

fmsPV1Worker::~fmsPV1Worker() {
    delete[] ModelSlots;
}

double fmsPV1Worker::Reward_Function() {
    int parts =
        type1->P1->getMark() + type1->P2->getMark() + type1->P3->getMark() + type1->P12->getMark();
    return 400 * f(type1->P1->getMark(), parts) + 600 * f(type2->P2->getMark(), parts) +
           100 * f(type3->P3->getMark(), parts) + 1100 * f(assembly->P12->getMark(), parts);
}

fmsPV1::fmsPV1(int timeIndex) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&TheModelPtr);
    Initialize("productivity", SteadyStateReward, 0, nullptr, nullptr, timeIndex, 0, 4, 7);
    AddVariableDependency("P1", "type1");
    AddVariableDependency("P2", "type1");
    AddVariableDependency("P3", "type1");
    AddVariableDependency("P12", "type1");
    AddVariableDependency("P2", "type2");
    AddVariableDependency("P3", "type3");
    AddVariableDependency("P12", "assembly");
}

fmsPV1::~fmsPV1() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        delete Workers[i];
    }
}

void fmsPV1::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new fmsPV1Worker();
}
