#include "tests/models/erlang_model/erlang_rewardPVNodes.h"

erlang_rewardPV0Worker::erlang_rewardPV0Worker() : erlang_system(nullptr) {
    NumModelSlots = 1;
    ModelSlots = new BaseModelClass**[1];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&erlang_system);
}

erlang_rewardPV0Worker::~erlang_rewardPV0Worker() {
    delete[] ModelSlots;
    ModelSlots = nullptr;
}

double erlang_rewardPV0Worker::Reward_Function() {
    return *(erlang_system->spare->Mark);
}

erlang_rewardPV0::erlang_rewardPV0(int timeindex) : Theerlang_systemSAN(nullptr) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&Theerlang_systemSAN);
    double startpts[1] = {1.0f};
    double stoppts[1] = {1.0f};
    Initialize("spares", RewardType(0), 1, startpts, stoppts, timeindex, 0, 1, 1);
    AddVariableDependency("spare", "erlang_system");
}

erlang_rewardPV0::~erlang_rewardPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        Workers[i]->Name = nullptr;
        delete Workers[i];
    }
}

void erlang_rewardPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new erlang_rewardPV0Worker;
}
