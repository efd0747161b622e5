#include "BaseClasses/PerformanceVariableNode.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/ModelGroupClass.h"
#include "BaseClasses/PerformanceVariableWorker.h"
#include "BaseClasses/VarModelPairClass.h"
#include "RewardTestModels.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using rewardtest::SumWorker;
using rewardtest::TestJoin;
using rewardtest::TestNode;
using rewardtest::TestSAN;
using ::testing::HasSubstr;

namespace {

using Vars = std::vector<std::pair<std::string, std::string>>;

class PerformanceVariableNodeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PerformanceVariableNode::the_id = 0;
        BaseActionClass::MaxID = 0;
        BaseModelClass::ResetModelIdCounter();
    }

    // Counts, builds and binds the node's workers as the reward model does.
    static void Build(TestNode& node, BaseModelClass* top) {
        node.FixReferences(top);
        node.CreateModelGroupList();
        node.CreateWorkerList();
        node.FixWorkerList();
    }
};

class BareNode : public PerformanceVariableNode {
  public:
    void CreateWorkerList() override {}
};

TEST_F(PerformanceVariableNodeTest, DefaultConstructionHasNoTimePointAndNoWorkers) {
    BareNode node;
    EXPECT_EQ(-1.0, node.StartTime);
    EXPECT_EQ(-1.0, node.StopTime);
    EXPECT_EQ(nullptr, node.Name);
    EXPECT_EQ(0, node.NumWorkers);
    EXPECT_EQ(0, node.NumImpulses);
    EXPECT_EQ(0, PerformanceVariableNode::the_id) << "construction alone takes no number";
}

TEST_F(PerformanceVariableNodeTest, InitializeTakesTheTimePointOfItsIndex) {
    double starts[] = {10, 20, 30};
    double stops[] = {15, 40, 90};
    for (int k = 0; k < 3; k++) {
        BareNode node;
        node.Initialize("pv", InstantOfTimeReward, 3, starts, stops, k, 0, 1, 1);
        EXPECT_EQ(starts[k], node.StartTime) << "index " << k;
        EXPECT_EQ(stops[k], node.StopTime) << "index " << k;
        EXPECT_EQ(stops[k] - starts[k], node.IntervalLength) << "index " << k;
        ASSERT_EQ(3, node.GetNumTimePoints());
        for (int j = 0; j < 3; j++) {
            EXPECT_EQ(starts[j], node.GetStartTime(j)) << "index " << k << " point " << j;
            EXPECT_EQ(stops[j], node.GetStopTime(j)) << "index " << k << " point " << j;
        }
        EXPECT_STREQ("pv", node.Name);
        EXPECT_EQ(InstantOfTimeReward, node.GetRewardType());
    }
}

// Only the kinds that watch a condition have one; a variable that does not override
// ConditionHolds has a condition that never holds, whatever its kind.
TEST_F(PerformanceVariableNodeTest, OnlyTheKindsFromUntilOnWatchAConditionAndTheBaseNeverHolds) {
    const struct {
        RewardType type;
        bool watches;
    } kinds[] = {{InstantOfTimeReward, false},
                 {IntervalOfTimeReward, false},
                 {TimeAveragedIntervalOfTimeReward, false},
                 {SteadyStateReward, false},
                 {UntilConditionReward, true},
                 {ReachConditionReward, true},
                 {ReachWithinReward, true}};
    for (const auto& k : kinds) {
        BareNode node;
        node.Initialize("pv", k.type, 0, nullptr, nullptr, 0, 0, 0, 0);
        EXPECT_EQ(k.watches, node.HasCondition()) << "type " << k.type;
        EXPECT_FALSE(node.ConditionHolds()) << "type " << k.type;
    }
    EXPECT_EQ(4, static_cast<int>(UntilConditionReward));
    EXPECT_EQ(5, static_cast<int>(ReachConditionReward));
    EXPECT_EQ(6, static_cast<int>(ReachWithinReward));
}

TEST_F(PerformanceVariableNodeTest, InitializeCopiesNameAndTimes) {
    char name[] = "reliability";
    double starts[] = {30, 180};
    double stops[] = {30, 180};
    BareNode node;
    node.Initialize(name, InstantOfTimeReward, 2, starts, stops, 1, 0, 0, 0);
    name[0] = 'X';
    starts[1] = stops[1] = -5;
    EXPECT_STREQ("reliability", node.Name);
    EXPECT_EQ(180, node.GetStartTime(1));
    EXPECT_EQ(180, node.GetStopTime(1));
}

TEST_F(PerformanceVariableNodeTest, IdsComeFromTheClassCounterInInitializeOrder) {
    std::vector<std::unique_ptr<TestNode>> nodes;
    for (int i = 0; i < 3; i++) {
        nodes.push_back(std::make_unique<TestNode>("pv", Vars{}));
        EXPECT_EQ(i, nodes.back()->ID) << "node " << i;
    }
    EXPECT_EQ(3, PerformanceVariableNode::the_id);
    PerformanceVariableNode::the_id = 7;
    TestNode later("pv", Vars{});
    EXPECT_EQ(7, later.ID);
    EXPECT_EQ(8, PerformanceVariableNode::the_id);
}

TEST_F(PerformanceVariableNodeTest, SameModelTwiceIsOneModelDependency) {
    TestNode node("pv", Vars{{"a", "M"}, {"b", "M"}});
    EXPECT_EQ(2, node.NumVariableDependencies);
    ASSERT_EQ(1, node.NumModelDependencies);
    EXPECT_STREQ("M", node.ModelDependencies[0]);
    EXPECT_STREQ("M", node.VariableDependencies[0].ModelName);
    EXPECT_STREQ("a", node.VariableDependencies[0].VariableName);
    EXPECT_STREQ("M", node.VariableDependencies[1].ModelName);
    EXPECT_STREQ("b", node.VariableDependencies[1].VariableName);
    EXPECT_TRUE(node.IsDependentOnModel("M"));
    EXPECT_FALSE(node.IsDependentOnModel("N"));
}

TEST_F(PerformanceVariableNodeTest, DependenciesBeyondTheGivenRoomAreKept) {
    // Room for one pair and one model name; three of each are added.
    TestNode node("pv", Vars{{"a", "A"}});
    node.AddVariableDependency("b", "B");
    node.AddModelDependency("C");
    node.AddModelDependency("A");
    ASSERT_EQ(2, node.NumVariableDependencies);
    EXPECT_STREQ("A", node.VariableDependencies[0].ModelName);
    EXPECT_STREQ("a", node.VariableDependencies[0].VariableName);
    EXPECT_STREQ("B", node.VariableDependencies[1].ModelName);
    EXPECT_STREQ("b", node.VariableDependencies[1].VariableName);
    ASSERT_EQ(3, node.NumModelDependencies);
    const char* expected[] = {"A", "B", "C"};
    for (int i = 0; i < 3; i++)
        EXPECT_STREQ(expected[i], node.ModelDependencies[i]) << "dependency " << i;
}

TEST_F(PerformanceVariableNodeTest, WorkersAreTheProductOfInstanceCounts) {
    struct Case {
        std::vector<std::string> children;
        Vars vars;
        int workers;
    };
    const std::vector<Case> cases = {
        {{"M"}, {{"a", "M"}}, 1},
        {{"M", "M", "M"}, {{"a", "M"}}, 3},
        {{"M", "M", "M"}, {{"a", "M"}, {"b", "M"}}, 3},
        {{"A", "B", "A", "B", "B"}, {{"a", "A"}, {"a", "B"}}, 6},
        {{"A", "B", "A", "B", "B"}, {{"a", "B"}}, 3},
        {{"M", "M"}, {}, 0},
    };
    for (size_t c = 0; c < cases.size(); c++) {
        TestJoin join(cases[c].children);
        TestNode node("pv", cases[c].vars);
        node.FixReferences(&join);
        EXPECT_EQ(cases[c].workers, node.NumWorkers) << "case " << c;
        EXPECT_EQ(&join, node.Top) << "case " << c << ": the top-level slot is filled";
    }
}

TEST_F(PerformanceVariableNodeTest, ThreeInstancesBindOneWorkerEachInLookUpOrder) {
    TestJoin join({"M", "N", "M", "M"});
    TestNode node("pv", Vars{{"a", "M"}}, 1);
    Build(node, &join);
    ASSERT_EQ(3, node.NumWorkers);
    TestSAN* expected[] = {join.Sans[0], join.Sans[2], join.Sans[3]};
    for (int i = 0; i < 3; i++) {
        SumWorker* w = node.Worker(i);
        EXPECT_EQ(expected[i], w->Bound[0]) << "worker " << i;
        EXPECT_EQ(i, w->WorkerIndex) << "worker " << i;
        EXPECT_EQ(node.ID, w->PVID) << "worker " << i;
        EXPECT_STREQ("pv", w->Name) << "worker " << i;
        EXPECT_EQ(180, w->StartTime) << "worker " << i;
        EXPECT_EQ(180, w->StopTime) << "worker " << i;
    }
}

TEST_F(PerformanceVariableNodeTest, TwoDependenciesEnumerateAllCombinationsFirstSlowest) {
    // Instances interleaved in the Join: look-up order per name is what counts.
    TestJoin join({"A", "B", "A", "B", "B"});
    TestSAN* a[] = {join.Sans[0], join.Sans[2]};
    TestSAN* b[] = {join.Sans[1], join.Sans[3], join.Sans[4]};
    TestNode node("pv", Vars{{"a", "A"}, {"a", "B"}});
    Build(node, &join);
    ASSERT_EQ(6, node.NumWorkers);
    for (int k = 0; k < 6; k++) {
        EXPECT_EQ(a[k / 3], node.Worker(k)->Bound[0]) << "worker " << k;
        EXPECT_EQ(b[k % 3], node.Worker(k)->Bound[1]) << "worker " << k;
        EXPECT_EQ(a[k / 3], node.ModelGroups[k].Models[0]) << "worker " << k;
        EXPECT_EQ(b[k % 3], node.ModelGroups[k].Models[1]) << "worker " << k;
    }
}

TEST_F(PerformanceVariableNodeTest, RateRewardSumsEveryWorker) {
    TestJoin join({"M", "M", "M"});
    TestNode node("pv", Vars{{"a", "M"}});
    Build(node, &join);
    BaseActionClass none;
    const short marks[][3] = {{0, 0, 0}, {1, 2, 4}, {3, 0, 0}, {0, 0, 5}};
    for (const auto& m : marks) {
        for (int i = 0; i < 3; i++)
            *join.Sans[i]->a->Mark = m[i];
        node.CurrentReward(&none);
        double sum = m[0] + m[1] + m[2];
        double squares = m[0] * m[0] + m[1] * m[1] + m[2] * m[2];
        EXPECT_EQ(sum, node.RateValue) << m[0] << " " << m[1] << " " << m[2];
        EXPECT_EQ(squares, node.RateSquare) << m[0] << " " << m[1] << " " << m[2];
        EXPECT_EQ(0.0, node.ImpulseValue);
        EXPECT_EQ(0.0, node.ImpulseSquare);
    }
}

TEST_F(PerformanceVariableNodeTest, RateRewardCoversEveryCombination) {
    // Worker (Ai, Bj) reads a(Ai) + a(Bj): the sum over all six is
    // 3 * (a(A0) + a(A1)) + 2 * (a(B0) + a(B1) + a(B2)).
    TestJoin join({"A", "A", "B", "B", "B"});
    TestNode node("pv", Vars{{"a", "A"}, {"a", "B"}});
    Build(node, &join);
    const short marks[] = {1, 10, 100, 1000, 3};
    for (int i = 0; i < 5; i++)
        *join.Sans[i]->a->Mark = marks[i];
    BaseActionClass none;
    node.CurrentReward(&none);
    EXPECT_EQ(3 * (1 + 10) + 2 * (100 + 1000 + 3), node.RateValue);
}

TEST_F(PerformanceVariableNodeTest, NoModelDependencyMeansNoRateReward) {
    TestJoin join({"M"});
    TestNode node("pv", Vars{});
    Build(node, &join);
    *join.Sans[0]->a->Mark = 9;
    BaseActionClass none;
    node.RateValue = 42;
    node.CurrentReward(&none);
    EXPECT_EQ(0, node.NumWorkers);
    EXPECT_EQ(0.0, node.RateValue);
    EXPECT_EQ(0.0, node.RateSquare);
}

TEST_F(PerformanceVariableNodeTest, ActionGetsTheWorkersOfItsInstance) {
    TestJoin join({"A", "A", "B", "B", "B"});
    TestNode node("pv", Vars{{"a", "A"}, {"a", "B"}});
    Build(node, &join);
    struct Case {
        int instance;
        std::vector<int> workers;
    };
    const std::vector<Case> cases = {
        {0, {0, 1, 2}}, {1, {3, 4, 5}}, {2, {0, 3}}, {3, {1, 4}}, {4, {2, 5}}};
    for (const Case& c : cases) {
        BaseActionClass action;
        action.AllocatePVRateDS(node.ID + 1);
        node.AddPVWorkersToAction(&action, join.Sans[c.instance]);
        FastSet& set = action.PVRateDS[node.ID];
        set.NoMoreModifications();
        ASSERT_EQ(static_cast<int>(c.workers.size()), set.size()) << "instance " << c.instance;
        for (size_t k = 0; k < c.workers.size(); k++)
            EXPECT_EQ(c.workers[k], set[static_cast<int>(k)]) << "instance " << c.instance;
        action.DeallocatePVRateDS();
        action.PVRateDS = nullptr;
    }
}

TEST_F(PerformanceVariableNodeTest, DefineNameRenamesEveryWorker) {
    TestJoin join({"M", "M"});
    TestNode node("pv", Vars{{"a", "M"}});
    Build(node, &join);
    node.DefineName("renamed");
    for (int i = 0; i < node.NumWorkers; i++) {
        EXPECT_STREQ("renamed", node.Worker(i)->Name) << "worker " << i;
        EXPECT_EQ(i, node.Worker(i)->WorkerIndex) << "worker " << i;
    }
}

TEST_F(PerformanceVariableNodeTest, InstantOfTimeAccumulatesAtTheEndOfTheInterval) {
    TestJoin join({"M", "M"});
    TestNode node("pv", Vars{{"a", "M"}}, 0, {5});
    Build(node, &join);
    *join.Sans[0]->a->Mark = 2;
    *join.Sans[1]->a->Mark = 3;
    node.Accumulate(4.0, 0.0, nullptr);
    EXPECT_EQ(0, node.AccumulationState) << "before the start nothing happens";
    node.Accumulate(5.0, 4.0, nullptr);
    EXPECT_EQ(1, node.AccumulationState);
    EXPECT_EQ(0.0, node.RateValue) << "instant of time adds at the end only";
    node.Accumulate(6.0, 5.0, nullptr);
    EXPECT_EQ(2, node.AccumulationState);
    EXPECT_EQ(5.0, node.RateValue);
    EXPECT_EQ(25.0, node.RateSquare);
    node.Accumulate(7.0, 6.0, nullptr);
    EXPECT_EQ(5.0, node.RateValue) << "a finished node stays as it is";
    node.Reset();
    EXPECT_EQ(0, node.AccumulationState);
    EXPECT_EQ(0.0, node.RateValue);
    EXPECT_EQ(0.0, node.Worker(0)->Value);
}

TEST_F(PerformanceVariableNodeTest, DependencyOnAModelWithoutInstanceEndsTheRunWithStatusOne) {
    TestJoin join({"M"});
    TestNode node("pv", Vars{{"a", "Q"}});
    node.FixReferences(&join);
    EXPECT_EQ(0, node.NumWorkers);
    EXPECT_EXIT(node.CreateModelGroupList(), ::testing::ExitedWithCode(1),
                HasSubstr("Number of Q's was 0.  Model cannot be created.\nModel Name was: J\n."));
    EXPECT_EXIT(
        {
            delete[] join.Name;
            join.Name = nullptr;
            node.CreateModelGroupList();
        },
        ::testing::ExitedWithCode(1), HasSubstr("Model Name was: NULL\n"));
}

// ---- Workers, pairs and model groups ----

class PlainWorker : public PerformanceVariableWorker {
  public:
    double Reward_Function() override { return 3.0; }
    void Accumulate(double, double) override {}
};

class FixedWorker : public InstantOfTime {
  public:
    double Reward_Function() override { return 3.0; }
};

TEST(PerformanceVariableWorkerTest, ConstructionAndNaming) {
    PlainWorker w;
    EXPECT_EQ(-1, w.WorkerIndex);
    EXPECT_EQ(-1, w.PVID);
    EXPECT_EQ(nullptr, w.Name);
    char name[] = "pv";
    w.DefineName(name, 4);
    name[0] = 'X';
    EXPECT_STREQ("pv", w.Name);
    EXPECT_EQ(4, w.WorkerIndex);
    w.DefineName("other", 5);
    EXPECT_STREQ("other", w.Name);
    delete[] w.Name;
}

TEST(PerformanceVariableWorkerTest, BaseCurrentRewardOnlyComplains) {
    PlainWorker w;
    w.Value = 2.0;
    ::testing::internal::CaptureStderr();
    w.CurrentReward();
    EXPECT_EQ("!! Calling PerformanceVariableWorker::CurrentReward()\n",
              ::testing::internal::GetCapturedStderr());
    EXPECT_EQ(2.0, w.Value);
    w.ValueSquare = 4.0;
    w.Reset();
    EXPECT_EQ(0.0, w.Value);
    EXPECT_EQ(0.0, w.ValueSquare);
}

TEST(PerformanceVariableWorkerTest, InstantOfTimeReadsTheRewardFunction) {
    FixedWorker w;
    w.CurrentReward();
    EXPECT_EQ(3.0, w.Value);
    EXPECT_EQ(9.0, w.ValueSquare);
    w.StartTime = 10.0;
    const struct {
        double last;
        double value;
    } cases[] = {{5.0, 3.0}, {10.0, 3.0}, {10.5, 0.0}};
    for (const auto& c : cases) {
        w.Value = -1;
        w.Weight = 0;
        w.Accumulate(20.0, c.last);
        EXPECT_EQ(c.value, w.Value) << "last " << c.last;
        EXPECT_EQ(c.value * c.value, w.ValueSquare) << "last " << c.last;
        EXPECT_EQ(1.0, w.Weight) << "last " << c.last;
    }
}

TEST(PairAndGroupTest, VarModelPairTakesVariableFirst) {
    VarModelPairClass pair;
    pair.SetPair("system_failed", "ram_system");
    EXPECT_STREQ("ram_system", pair.ModelName);
    EXPECT_STREQ("system_failed", pair.VariableName);
    pair.SetPair("v", "m");
    EXPECT_STREQ("m", pair.ModelName);
    EXPECT_STREQ("v", pair.VariableName);
}

TEST(PairAndGroupTest, ModelGroupKnowsItsModels) {
    rewardtest::TestSAN m1("M"), m2("M"), m3("M");
    ModelGroupClass group;
    group.CreateModelList(2);
    EXPECT_EQ(2, group.NumModels);
    group.SetModel(0, &m1);
    group.SetModel(1, &m2);
    EXPECT_TRUE(group.IsDependentOnModel(&m1));
    EXPECT_TRUE(group.IsDependentOnModel(&m2));
    EXPECT_FALSE(group.IsDependentOnModel(&m3));
}

} // namespace
