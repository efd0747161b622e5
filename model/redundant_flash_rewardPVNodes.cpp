#include "model/redundant_flash_rewardPVNodes.h"

// The framework stores a BaseModelClass* into the slots below. The generated classes
// derive from BaseModelClass along their first bases only, so a pointer to the
// derived class and one to BaseModelClass have the same representation.

redundant_flash_rewardPV0Worker::redundant_flash_rewardPV0Worker() : ram_system(nullptr) {
    NumModelSlots = 1;
    ModelSlots = new BaseModelClass**[1];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&ram_system);
}

redundant_flash_rewardPV0Worker::~redundant_flash_rewardPV0Worker() {
    delete[] ModelSlots;
    ModelSlots = nullptr;
}

double redundant_flash_rewardPV0Worker::Reward_Function() {
    return *(ram_system->system_failed->Mark);
}

redundant_flash_rewardPV0::redundant_flash_rewardPV0(int timeindex)
    : Theredundant_flash_modelRJ(nullptr) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&Theredundant_flash_modelRJ);
    double startpts[3] = {30.0f, 180.0f, 365.0f};
    double stoppts[3] = {30.0f, 180.0f, 365.0f};
    Initialize("reliability", RewardType(0), 3, startpts, stoppts, timeindex, 0, 1, 1);
    AddVariableDependency("system_failed", "ram_system");
}

redundant_flash_rewardPV0::~redundant_flash_rewardPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        Workers[i]->Name = nullptr;
        delete Workers[i];
    }
}

void redundant_flash_rewardPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new redundant_flash_rewardPV0Worker;
}
