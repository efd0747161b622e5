#include "tests/models/deterlang_model/deterlang_rewardPVNodes.h"

deterlang_rewardPV0Worker::deterlang_rewardPV0Worker() : deterlang_system(nullptr) {
    NumModelSlots = 1;
    ModelSlots = new BaseModelClass**[1];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&deterlang_system);
}

deterlang_rewardPV0Worker::~deterlang_rewardPV0Worker() {
    delete[] ModelSlots;
    ModelSlots = nullptr;
}

double deterlang_rewardPV0Worker::Reward_Function() {
    return *(deterlang_system->p->Mark);
}

deterlang_rewardPV0::deterlang_rewardPV0(int timeindex) : Thedeterlang_systemSAN(nullptr) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&Thedeterlang_systemSAN);
    double startpts[1] = {1.0f};
    double stoppts[1] = {1.0f};
    Initialize("token", RewardType(0), 1, startpts, stoppts, timeindex, 0, 1, 1);
    AddVariableDependency("p", "deterlang_system");
}

deterlang_rewardPV0::~deterlang_rewardPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        Workers[i]->Name = nullptr;
        delete Workers[i];
    }
}

void deterlang_rewardPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new deterlang_rewardPV0Worker;
}
