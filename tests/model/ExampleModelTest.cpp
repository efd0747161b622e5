#include "model/redundant_flash_modelRJ.h"
#include "model/redundant_flash_rewardPVModel.h"
#include "model/redundant_flash_rewardPVNodes.h"
#include "model/redundant_flash_studyRangeStudy.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseModelClass.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The composed state as five markings: ram_working, ram_corrupted, system_failed,
// replicas_available, flash_corrupted (the shared one, stored by the join).
using StateMarks = std::array<short, 5>;

StateMarks decode(const unsigned char* b) {
    StateMarks m;
    for (int i = 0; i < 5; i++)
        m[i] = static_cast<short>(b[2 * i] | (b[2 * i + 1] << 8));
    return m;
}

const char* const kReliabilityBlock = "Name:reliability\n"
                                      "Type:0\n"
                                      "NumTimes:3\n"
                                      "Start:30\n"
                                      "Stop:30\n"
                                      "Start:180\n"
                                      "Stop:180\n"
                                      "Start:365\n"
                                      "Stop:365\n";

class ExampleModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BaseActionClass::MaxID = 0;
        PerformanceVariableNode::the_id = 0;
        BaseModelClass::ResetModelIdCounter();
        study = GenerateStudy();
    }
    void TearDown() override { DestructStudy(); }

    // Sets experiment k (num_replicas is k mod 4 + 1) and builds the reward model.
    // Node numbers index the actions' per-node reward structures, so every reward
    // model built in this process must number its nodes from 0 again.
    PVModel* build(int k, bool expand = false) {
        PerformanceVariableNode::the_id = 0;
        study->SetGVs(k);
        pv = study->GetPVModel(expand);
        join = static_cast<redundant_flash_modelRJ*>(pv->TopModel);
        return pv;
    }
    // Sized by the model, so a wrong layout fails the comparison instead of
    // overrunning the buffer.
    StateMarks state() {
        std::vector<unsigned char> buf(std::max(pv->StateSize(), 10), 0);
        pv->CurrentState(buf.data());
        return decode(buf.data());
    }

    BaseStudyClass* study = nullptr;
    PVModel* pv = nullptr;
    redundant_flash_modelRJ* join = nullptr;
};

TEST_F(ExampleModelTest, ModelsAreBuiltAndNumberedTopDown) {
    build(0);
    EXPECT_EQ(pv->ModelId, 1);
    EXPECT_STREQ(pv->Name, "redundant_flash_rewardPVModel");
    EXPECT_EQ(join->ModelId, 2);
    EXPECT_STREQ(join->Name, "Join");
    EXPECT_EQ(join->ram_system->ModelId, 3);
    EXPECT_STREQ(join->ram_system->Name, "ram_system");
    EXPECT_EQ(join->redundant_flash_system->ModelId, 4);
    EXPECT_STREQ(join->redundant_flash_system->Name, "redundant_flash_system");
    ASSERT_EQ(join->NumChildren, 2);
    EXPECT_EQ(join->Children[0], join->ram_system);
    EXPECT_EQ(join->Children[1], join->redundant_flash_system);

    // Five distinct places: 4 + 2 - 2 shared into the join's one.
    EXPECT_EQ(join->NumStateVariables, 5);
    ASSERT_EQ(join->NumSharedStateVariables, 1);
    ASSERT_NE(join->flash_corrupted, nullptr);
    EXPECT_EQ(join->SharedStateVariables[0], join->flash_corrupted);
    EXPECT_STREQ(redundant_flash_modelRJ__SharedNames[0], "flash_corrupted");
    EXPECT_TRUE(join->flash_corrupted->getStored());
    EXPECT_FALSE(join->ram_system->flash_corrupted->getStored());
    EXPECT_FALSE(join->redundant_flash_system->flash_corrupted->getStored());
}

TEST_F(ExampleModelTest, ComposedActionsAndGroupNumbers) {
    build(0);
    struct Row {
        const char* name;
        int group;
    };
    const Row rows[] = {{"failure", 4},          {"watchdog_reboot", 0},
                        {"random_failure", 1},   {"bit_error_case1", 2},
                        {"bit_error_case2", 2},  {"page_error_case1", 3},
                        {"page_error_case2", 3}, {"seu_case1", 5},
                        {"seu_case2", 5},        {"sefi", 6},
                        {"power_cycle", 7}};
    ASSERT_EQ(join->NumActions, 11);
    ASSERT_EQ(pv->NumActions, 11);
    for (int i = 0; i < 11; i++) {
        EXPECT_STREQ(pv->Actions[i]->Name, rows[i].name) << "action " << i;
        EXPECT_EQ(pv->Actions[i]->GroupID, rows[i].group) << rows[i].name;
    }
    ram_systemSAN* ram = join->ram_system;
    redundant_flash_systemSAN* flash = join->redundant_flash_system;
    BaseGroupClass* groups[] = {&ram->watchdog_reboot, &ram->random_failure, &ram->bit_errorGroup,
                                &ram->page_errorGroup, &ram->failure,        &flash->seuGroup,
                                &flash->sefi,          &flash->power_cycle};
    ASSERT_EQ(pv->NumGroups, 8);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(pv->Groups[i], groups[i]) << "group " << i;
}

TEST_F(ExampleModelTest, InitialStateVectorFollowsTheLayout) {
    for (int k : {0, 2}) {
        const short n = static_cast<short>(k % 4 + 1);
        build(k);
        ASSERT_EQ(pv->StateSize(), 10) << "experiment " << k;
        unsigned char buf[10];
        pv->CurrentState(buf);
        const unsigned char expected[10] = {1, 0, 0, 0, 0, 0, static_cast<unsigned char>(n),
                                            0, 0, 0};
        for (int i = 0; i < 10; i++)
            EXPECT_EQ(buf[i], expected[i]) << "num_replicas " << n << " byte " << i;
    }
}

TEST_F(ExampleModelTest, OverriddenNumReplicasIsTheInitialMarking) {
    study->SetGVs(0);
    study->overrideGVs(const_cast<char*>("s:num_replicas:4"));
    pv = study->GetPVModel(false);
    join = static_cast<redundant_flash_modelRJ*>(pv->TopModel);
    EXPECT_EQ(state(), (StateMarks{1, 0, 0, 4, 0}));
}

TEST_F(ExampleModelTest, SetStateReachesBothChildrenAndTheSharedPlace) {
    build(2);
    ASSERT_EQ(pv->StateSize(), 10);
    const unsigned char bytes[10] = {0, 0, 1, 0, 0, 0, 2, 0, 1, 0};
    pv->SetState(const_cast<unsigned char*>(bytes));
    EXPECT_EQ(join->ram_system->ram_corrupted->getMark(), 1);
    EXPECT_EQ(join->redundant_flash_system->replicas_available->getMark(), 2);
    EXPECT_EQ(join->ram_system->flash_corrupted->getMark(), 1);
    EXPECT_EQ(join->redundant_flash_system->flash_corrupted->getMark(), 1);
    EXPECT_TRUE(join->ram_system->failure.Enabled());
    EXPECT_TRUE(join->redundant_flash_system->power_cycle.Enabled());
    EXPECT_EQ(state(), (StateMarks{0, 1, 0, 2, 1}));
}

TEST_F(ExampleModelTest, FiringsAreSeenAcrossTheSharedPlaceAndDriveTheReward) {
    build(0);
    ram_systemSAN* ram = join->ram_system;
    redundant_flash_systemSAN* flash = join->redundant_flash_system;
    ASSERT_EQ(pv->NumPVs, 1);
    PerformanceVariableNode* node = pv->PVNodes[0];
    pv->ConsiderOnly(nullptr, -1);
    ASSERT_EQ(pv->StateSize(), 10);

    struct Step {
        BaseActionClass* action;
        StateMarks after;
        bool failureEnabled;
        double reward;
    };
    const Step steps[] = {
        {&pv->NoActionFired, {1, 0, 0, 1, 0}, false, 0},
        {&flash->sefi, {1, 0, 0, 0, 1}, false, 0},
        {&ram->bit_error_case2, {0, 1, 0, 0, 1}, true, 0},
        {&flash->power_cycle, {0, 1, 0, 1, 0}, false, 0},
        {&flash->seu_case2, {0, 1, 0, 0, 1}, true, 0},
        {&ram->failure, {0, 1, 1, 0, 1}, false, 1},
        {&ram->watchdog_reboot, {1, 0, 1, 0, 1}, false, 1},
    };
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); i++) {
        const Step& s = steps[i];
        std::vector<unsigned char> buf(10, 0);
        pv->FireAction(buf.data(), s.action);
        EXPECT_EQ(pv->LastFiredAction, s.action) << "step " << i;
        EXPECT_EQ(decode(buf.data()), s.after) << "step " << i;
        // One storage cell: both children and the join read the same marking.
        EXPECT_EQ(ram->flash_corrupted->getMark(), s.after[4]) << "step " << i;
        EXPECT_EQ(flash->flash_corrupted->getMark(), s.after[4]) << "step " << i;
        EXPECT_EQ(join->flash_corrupted->getMark(), s.after[4]) << "step " << i;
        EXPECT_EQ(ram->failure.Enabled(), s.failureEnabled) << "step " << i;
        EXPECT_EQ(node->RateValue, s.reward) << "step " << i;
        EXPECT_EQ(node->ImpulseValue, 0.0) << "step " << i;
    }
}

TEST_F(ExampleModelTest, OneReliabilityNodeForTimeThirty) {
    build(0);
    ASSERT_EQ(pv->NumPVs, 1);
    auto* node = dynamic_cast<redundant_flash_rewardPV0*>(pv->PVNodes[0]);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->Name, "reliability");
    EXPECT_EQ(node->ID, 0);
    EXPECT_EQ(static_cast<int>(node->Type), 0);
    EXPECT_EQ(node->StartTime, 30.0);
    EXPECT_EQ(node->StopTime, 30.0);
    EXPECT_EQ(node->IntervalLength, 0.0);
    ASSERT_EQ(node->NumTimePoints, 3);
    const double times[] = {30, 180, 365};
    for (int j = 0; j < 3; j++) {
        EXPECT_EQ(node->GetStartTime(j), times[j]) << "time point " << j;
        EXPECT_EQ(node->GetStopTime(j), times[j]) << "time point " << j;
    }
    EXPECT_EQ(node->Theredundant_flash_modelRJ, join);
    ASSERT_EQ(node->NumModelDependencies, 1);
    EXPECT_STREQ(node->ModelDependencies[0], "ram_system");
    ASSERT_EQ(node->NumVariableDependencies, 1);
    EXPECT_STREQ(node->VariableDependencies[0].VariableName, "system_failed");
    EXPECT_STREQ(node->VariableDependencies[0].ModelName, "ram_system");

    ASSERT_EQ(node->NumWorkers, 1);
    auto* worker = dynamic_cast<redundant_flash_rewardPV0Worker*>(node->Workers[0]);
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(worker->ram_system, join->ram_system);
    EXPECT_EQ(worker->NumModelSlots, 1);
    EXPECT_STREQ(worker->Name, "reliability");
    EXPECT_EQ(worker->Reward_Function(), 0.0);
    join->ram_system->system_failed->setMark(1);
    EXPECT_EQ(worker->Reward_Function(), 1.0);
}

TEST_F(ExampleModelTest, ExpandedReliabilityHasANodePerTimePoint) {
    build(0, true);
    ASSERT_EQ(pv->NumPVs, 3);
    const double times[] = {30, 180, 365};
    for (int i = 0; i < 3; i++) {
        EXPECT_STREQ(pv->PVNodes[i]->Name, "reliability") << "node " << i;
        EXPECT_EQ(pv->PVNodes[i]->StartTime, times[i]) << "node " << i;
        EXPECT_EQ(pv->PVNodes[i]->StopTime, times[i]) << "node " << i;
        EXPECT_EQ(pv->PVNodes[i]->ID, i) << "node " << i;
    }
}

TEST_F(ExampleModelTest, CreatePVNodeKnowsOnlyReliability) {
    build(0);
    auto* model = static_cast<redundant_flash_rewardPVModel*>(pv);
    EXPECT_EQ(model->createPVNode(1, 0), nullptr);
    EXPECT_EQ(model->createPVNode(-1, 0), nullptr);
    PerformanceVariableNode* node = model->createPVNode(0, 2);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->Name, "reliability");
    EXPECT_EQ(node->StartTime, 365.0);
    EXPECT_EQ(node->StopTime, 365.0);
    delete node;
}

TEST_F(ExampleModelTest, PVTypeFileListsReliabilityWithItsThreeTimes) {
    struct Row {
        bool expand;
        std::string expected;
    };
    const std::string block = kReliabilityBlock;
    const Row rows[] = {{false, "Version:1\nNumPV:1\n" + block},
                        {true, "Version:1\nNumPV:3\n" + block + block + block}};
    for (const Row& r : rows) {
        build(0, r.expand);
        std::string path = ::testing::TempDir() + "example_model_test.pvtype";
        pv->WritePVTypeFile(&path[0]);
        EXPECT_EQ(testsupport::ReadFile(path), r.expected) << "expand " << r.expand;
        std::remove(path.c_str());
    }
}

} // namespace
