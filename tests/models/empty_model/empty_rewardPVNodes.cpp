#include "tests/models/empty_model/empty_rewardPVNodes.h"

empty_rewardPV0Worker::empty_rewardPV0Worker() {
    NumModelSlots = 0;
    ModelSlots = nullptr;
}

empty_rewardPV0Worker::~empty_rewardPV0Worker() {}

double empty_rewardPV0Worker::Reward_Function() {
    return 1;
}

empty_rewardPV0::empty_rewardPV0(int timeindex) : Theempty_systemSAN(nullptr) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&Theempty_systemSAN);
    double startpts[1] = {1.0f};
    double stoppts[1] = {1.0f};
    Initialize("nothing", RewardType(0), 1, startpts, stoppts, timeindex, 0, 0, 0);
}

empty_rewardPV0::~empty_rewardPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        Workers[i]->Name = nullptr;
        delete Workers[i];
    }
}

void empty_rewardPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new empty_rewardPV0Worker;
}
