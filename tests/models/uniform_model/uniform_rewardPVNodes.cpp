#include "tests/models/uniform_model/uniform_rewardPVNodes.h"

uniform_rewardPV0Worker::uniform_rewardPV0Worker() : uniform_system(nullptr) {
    NumModelSlots = 1;
    ModelSlots = new BaseModelClass**[1];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&uniform_system);
}

uniform_rewardPV0Worker::~uniform_rewardPV0Worker() {
    delete[] ModelSlots;
    ModelSlots = nullptr;
}

double uniform_rewardPV0Worker::Reward_Function() {
    return *(uniform_system->p->Mark);
}

uniform_rewardPV0::uniform_rewardPV0(int timeindex) : Theuniform_systemSAN(nullptr) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&Theuniform_systemSAN);
    double startpts[1] = {1.0f};
    double stoppts[1] = {1.0f};
    Initialize("token", RewardType(0), 1, startpts, stoppts, timeindex, 0, 1, 1);
    AddVariableDependency("p", "uniform_system");
}

uniform_rewardPV0::~uniform_rewardPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        Workers[i]->Name = nullptr;
        delete Workers[i];
    }
}

void uniform_rewardPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new uniform_rewardPV0Worker;
}
