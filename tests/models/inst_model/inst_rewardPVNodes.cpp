#include "tests/models/inst_model/inst_rewardPVNodes.h"

inst_rewardPV0Worker::inst_rewardPV0Worker() : inst_system(nullptr) {
    NumModelSlots = 1;
    ModelSlots = new BaseModelClass**[1];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&inst_system);
}

inst_rewardPV0Worker::~inst_rewardPV0Worker() {
    delete[] ModelSlots;
    ModelSlots = nullptr;
}

double inst_rewardPV0Worker::Reward_Function() {
    return *(inst_system->left->Mark) + 10.0 * *(inst_system->right->Mark) +
           100.0 * *(inst_system->done->Mark);
}

inst_rewardPV0::inst_rewardPV0(int timeindex) : Theinst_systemSAN(nullptr) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&Theinst_systemSAN);
    double startpts[1] = {5.0f};
    double stoppts[1] = {5.0f};
    Initialize("where", RewardType(0), 1, startpts, stoppts, timeindex, 0, 1, 1);
    AddVariableDependency("left", "inst_system");
}

inst_rewardPV0::~inst_rewardPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        Workers[i]->Name = nullptr;
        delete Workers[i];
    }
}

void inst_rewardPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new inst_rewardPV0Worker;
}
