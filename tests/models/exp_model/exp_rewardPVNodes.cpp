#include "tests/models/exp_model/exp_rewardPVNodes.h"

exp_rewardPV0Worker::exp_rewardPV0Worker() : exp_system(nullptr) {
    NumModelSlots = 1;
    ModelSlots = new BaseModelClass**[1];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&exp_system);
}

exp_rewardPV0Worker::~exp_rewardPV0Worker() {
    delete[] ModelSlots;
    ModelSlots = nullptr;
}

double exp_rewardPV0Worker::Reward_Function() {
    return *(exp_system->c->Mark);
}

exp_rewardPV0::exp_rewardPV0(int timeindex) : Theexp_systemSAN(nullptr) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&Theexp_systemSAN);
    double startpts[1] = {10.0f};
    double stoppts[1] = {10.0f};
    Initialize("done", RewardType(0), 1, startpts, stoppts, timeindex, 0, 1, 1);
    AddVariableDependency("c", "exp_system");
}

exp_rewardPV0::~exp_rewardPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        Workers[i]->Name = nullptr;
        delete Workers[i];
    }
}

void exp_rewardPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new exp_rewardPV0Worker;
}
