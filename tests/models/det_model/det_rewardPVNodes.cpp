#include "tests/models/det_model/det_rewardPVNodes.h"

det_rewardPV0Worker::det_rewardPV0Worker() : det_system(nullptr) {
    NumModelSlots = 1;
    ModelSlots = new BaseModelClass**[1];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&det_system);
}

det_rewardPV0Worker::~det_rewardPV0Worker() {
    delete[] ModelSlots;
    ModelSlots = nullptr;
}

double det_rewardPV0Worker::Reward_Function() {
    return *(det_system->broken->Mark);
}

det_rewardPV0::det_rewardPV0(int timeindex) : Thedet_systemSAN(nullptr) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&Thedet_systemSAN);
    double startpts[1] = {1.0f};
    double stoppts[1] = {1.0f};
    Initialize("down", RewardType(0), 1, startpts, stoppts, timeindex, 0, 1, 1);
    AddVariableDependency("broken", "det_system");
}

det_rewardPV0::~det_rewardPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        Workers[i]->Name = nullptr;
        delete Workers[i];
    }
}

void det_rewardPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new det_rewardPV0Worker;
}
