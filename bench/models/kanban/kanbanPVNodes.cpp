#include "kanbanPVNodes.h"

kanbanPV0Worker::kanbanPV0Worker() {
    NumModelSlots = 4;
    ModelSlots = new BaseModelClass**[4];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&cell1);
    ModelSlots[1] = reinterpret_cast<BaseModelClass**>(&cell2);
    ModelSlots[2] = reinterpret_cast<BaseModelClass**>(&cell3);
    ModelSlots[3] = reinterpret_cast<BaseModelClass**>(&cell4);
}

kanbanPV0Worker::~kanbanPV0Worker() {
    delete[] ModelSlots;
}

double kanbanPV0Worker::Reward_Function() {
    return cell1->pm1->getMark() + cell2->pm2->getMark() + cell3->pm3->getMark() +
           cell4->pm4->getMark();
}

kanbanPV0::kanbanPV0(int timeIndex) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&TheModelPtr);
    double startPts[1] = {1.0};
    double stopPts[1] = {1.0};
    Initialize("parts_in_machining", static_cast<RewardType>(0), 1, startPts, stopPts, timeIndex, 0,
               4, 4);
    AddVariableDependency("pm1", "cell1");
    AddVariableDependency("pm2", "cell2");
    AddVariableDependency("pm3", "cell3");
    AddVariableDependency("pm4", "cell4");
}

kanbanPV0::~kanbanPV0() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        delete Workers[i];
    }
}

void kanbanPV0::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new kanbanPV0Worker();
}

kanbanPV1Worker::kanbanPV1Worker() {
    NumModelSlots = 1;
    ModelSlots = new BaseModelClass**[1];
    ModelSlots[0] = reinterpret_cast<BaseModelClass**>(&cell1);
}

kanbanPV1Worker::~kanbanPV1Worker() {
    delete[] ModelSlots;
}

double kanbanPV1Worker::Reward_Function() {
    return cell1->pkan1->getMark() > 0 ? 1.0 : 0.0;
}

kanbanPV1::kanbanPV1(int timeIndex) {
    TopModelRef = reinterpret_cast<BaseModelClass**>(&TheModelPtr);
    Initialize("throughput", SteadyStateReward, 0, nullptr, nullptr, timeIndex, 0, 1, 1);
    AddVariableDependency("pkan1", "cell1");
}

kanbanPV1::~kanbanPV1() {
    for (int i = 0; i < NumWorkers; i++) {
        delete[] Workers[i]->Name;
        delete Workers[i];
    }
}

void kanbanPV1::CreateWorkerList() {
    for (int i = 0; i < NumWorkers; i++)
        Workers[i] = new kanbanPV1Worker();
}
