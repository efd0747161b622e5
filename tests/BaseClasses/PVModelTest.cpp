#include "BaseClasses/PVModel.h"

#include "BaseClasses/PerformanceVariableNode.h"
#include "RewardTestModels.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using rewardtest::FactoryRewardModel;
using rewardtest::TestJoin;
using rewardtest::TestNode;
using rewardtest::TestSAN;
using ::testing::HasSubstr;
using testsupport::ReadFile;

namespace {

using Vars = std::vector<std::pair<std::string, std::string>>;

class PVModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PerformanceVariableNode::the_id = 0;
        BaseActionClass::MaxID = 0;
        BaseModelClass::ResetModelIdCounter();
    }

    // A reward model over a new Join of the given SANs; pv p reads `vars`, and its node
    // records (pv, time index) in `created`.
    FactoryRewardModel* Make(const std::vector<std::string>& children, Vars vars,
                             std::vector<double> times = {30, 180, 365}) {
        join = new TestJoin(children);
        return new FactoryRewardModel(join, [this, vars, times](int pv, int t) {
            created.push_back({pv, t});
            std::string name = "pv" + std::to_string(pv);
            return new TestNode(name.c_str(), vars, t, times);
        });
    }

    std::string TempPath(const char* tag) {
        return ::testing::TempDir() + "pvmodeltest_" + tag + "_" + std::to_string(getpid()) +
               ".pvtype";
    }

    TestJoin* join = nullptr;
    std::vector<std::pair<int, int>> created;
};

TEST_F(PVModelTest, ConstructionStartsWithThePlaceholderAction) {
    BaseActionClass::MaxID = 5;
    BaseModelClass::LastActionTime = 3.0;
    FactoryRewardModel* model = Make({"M"}, Vars{});
    EXPECT_EQ(&model->NoActionFired, model->LastFiredAction);
    EXPECT_STREQ("No Action Fired Yet", model->NoActionFired.Name);
    EXPECT_EQ(0.0, BaseModelClass::LastActionTime);
    EXPECT_EQ(BaseActionClass::MaxID - 1, model->NoActionFired.ID)
        << "the placeholder takes the next action number";
    EXPECT_GT(model->NoActionFired.ID, 5);
    EXPECT_EQ(0, model->NumPVs);
    EXPECT_TRUE(model->ConsideredPVs.empty());
    delete model;
}

TEST_F(PVModelTest, WithoutExpansionEachVariableIsOneNodeForItsFirstTimePoint) {
    FactoryRewardModel* model = Make({"M"}, Vars{{"a", "M"}});
    model->CreatePVList(3, false);
    ASSERT_EQ(3, model->NumPVs);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}}), created);
    for (int p = 0; p < 3; p++) {
        EXPECT_EQ(p, model->PVNodes[p]->ID) << "node " << p;
        EXPECT_EQ(30.0, model->PVNodes[p]->StartTime) << "node " << p;
    }
    model->Initialize();
    delete model;
}

TEST_F(PVModelTest, WithExpansionEachTimePointIsANodeOfItsOwn) {
    FactoryRewardModel* model = Make({"M"}, Vars{{"a", "M"}});
    model->CreatePVList(2, true);
    ASSERT_EQ(6, model->NumPVs);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}),
              created);
    const double expected[] = {30, 180, 365, 30, 180, 365};
    for (int p = 0; p < 6; p++) {
        EXPECT_EQ(expected[p], model->PVNodes[p]->StartTime) << "node " << p;
        EXPECT_EQ(p, model->PVNodes[p]->ID) << "node " << p;
    }
    model->Initialize();
    EXPECT_EQ(365.0, model->MaxStopTime);
    delete model;
}

TEST_F(PVModelTest, NodeListGrowsPastOneHundredInCreationOrder) {
    // 34 variables of three time points: the 34th (n = 99) is the first for which
    // n + 3 reaches the initial room of 100; 102 nodes in all.
    for (bool expand : {false, true}) {
        created.clear();
        PerformanceVariableNode::the_id = 0;
        FactoryRewardModel* model = Make({"M"}, Vars{});
        model->CreatePVList(expand ? 34 : 120, expand);
        const int n = expand ? 102 : 120;
        ASSERT_EQ(n, model->NumPVs) << "expand " << expand;
        for (int p = 0; p < n; p++) {
            EXPECT_EQ(p, model->PVNodes[p]->ID) << "expand " << expand << " node " << p;
            std::string name = "pv" + std::to_string(expand ? p / 3 : p);
            EXPECT_STREQ(name.c_str(), model->PVNodes[p]->Name) << "node " << p;
        }
        delete model;
    }
}

TEST_F(PVModelTest, UndefinedVariablesYieldNoNode) {
    join = new TestJoin({"M"});
    FactoryRewardModel model(join, [](int pv, int t) -> PerformanceVariableNode* {
        if (pv == 1)
            return nullptr;
        return new TestNode("pv", Vars{}, t);
    });
    model.CreatePVList(3, false);
    EXPECT_EQ(2, model.NumPVs);
}

TEST_F(PVModelTest, InitializeCopiesTheTopModelsContents) {
    FactoryRewardModel* model = Make({"M", "N"}, Vars{{"a", "M"}});
    model->CreatePVList(1, false);
    model->Initialize();
    EXPECT_EQ(join->NumActions, model->NumActions);
    EXPECT_EQ(6, model->NumActions);
    EXPECT_EQ(join->NumGroups, model->NumGroups);
    EXPECT_EQ(join->NumStateVariables, model->NumStateVariables);
    EXPECT_EQ(0, model->NumSharedStateVariables);
    EXPECT_EQ(join->StateSize(), model->StateSize());
    EXPECT_EQ(8, model->StateSize());
    List<BaseActionClass> actions;
    model->listActions(&actions);
    ASSERT_EQ(6, actions.getNumItems());
    for (int k = 0; k < 6; k++)
        EXPECT_EQ(join->Actions[k], actions[k]) << "action " << k;
    List<BaseGroupClass> groups;
    model->listGroups(&groups);
    EXPECT_EQ(join->NumGroups, groups.getNumItems());
    List<BaseModelClass> ms;
    model->listModels("N", &ms);
    ASSERT_EQ(1, ms.getNumItems());
    EXPECT_EQ(join->Sans[1], ms[0]);
    delete model;
}

TEST_F(PVModelTest, StatesComeFromAndGoToTheTopModel) {
    FactoryRewardModel* model = Make({"M", "N"}, Vars{});
    model->CreatePVList(0, false);
    model->Initialize();
    join->Sans[0]->a->setMark(3);
    join->Sans[1]->b->setMark(7);
    std::vector<char> first(model->StateSize()), top(join->StateSize());
    model->CurrentState(first.data());
    join->CurrentState(top.data());
    EXPECT_EQ(top, first);
    join->Sans[1]->b->setMark(8);
    std::vector<char> second(model->StateSize());
    model->CurrentState(second.data());
    EXPECT_FALSE(model->CompareState(first.data(), second.data()));
    EXPECT_TRUE(model->CompareState(first.data(), first.data()));
    model->SetState(first.data());
    EXPECT_EQ(7, join->Sans[1]->B());
    EXPECT_EQ(3, join->Sans[0]->A());
    delete model;
}

TEST_F(PVModelTest, ActionsAffectingAVariableAreListedPerNode) {
    // pv0 reads a of M, pv1 reads b of N, pv2 reads nothing. Join: M, N.
    join = new TestJoin({"M", "N"});
    FactoryRewardModel model(join, [](int pv, int t) -> PerformanceVariableNode* {
        switch (pv) {
        case 0:
            return new TestNode("pv0", Vars{{"a", "M"}}, t);
        case 1:
            return new TestNode("pv1", Vars{{"b", "N"}}, t);
        default:
            return new TestNode("pv2", Vars{}, t);
        }
    });
    model.CreatePVList(3, false);
    model.Initialize();
    TestSAN* m = join->Sans[0];
    TestSAN* n = join->Sans[1];
    PerformanceVariableNode* pv0 = model.PVNodes[0];
    PerformanceVariableNode* pv1 = model.PVNodes[1];
    ASSERT_EQ(2, pv0->NumAffectingActions);
    EXPECT_EQ(&m->x, pv0->AffectingActionList[0]);
    EXPECT_EQ(&m->w, pv0->AffectingActionList[1]);
    ASSERT_EQ(2, pv1->NumAffectingActions);
    EXPECT_EQ(&n->y, pv1->AffectingActionList[0]);
    EXPECT_EQ(&n->w, pv1->AffectingActionList[1]);
    EXPECT_EQ(0, model.PVNodes[2]->NumAffectingActions);

    ASSERT_EQ(4, model.NumAffectingActions);
    BaseActionClass* expected[] = {&m->x, &m->w, &n->y, &n->w};
    for (int k = 0; k < 4; k++) {
        EXPECT_EQ(expected[k], model.AffectingActions[k]) << "entry " << k;
        EXPECT_EQ(&expected[k]->AffectedNodes, model.AffectingActionNodes[k]) << "entry " << k;
        ASSERT_EQ(1, expected[k]->AffectedNodes.size()) << "entry " << k;
        EXPECT_EQ(k < 2 ? 0 : 1, expected[k]->AffectedNodes[0]) << "entry " << k;
    }
    EXPECT_EQ(0, m->y.AffectedNodesByRateReward.size());
    EXPECT_EQ(1, m->x.PVRateDS[0].size()) << "the one worker of pv0";
    EXPECT_EQ(0, m->x.PVRateDS[1].size());
    EXPECT_EQ(4, model.NumRateDSActions);
    EXPECT_EQ(0, model.NumImpulseDSActions);
}

TEST_F(PVModelTest, AnActionAffectingTwoVariablesOfOneNodeIsEnteredOnce) {
    FactoryRewardModel* model = Make({"M"}, Vars{{"a", "M"}, {"b", "M"}});
    model->CreatePVList(1, false);
    model->Initialize();
    TestSAN* m = join->Sans[0];
    PerformanceVariableNode* node = model->PVNodes[0];
    ASSERT_EQ(3, node->NumAffectingActions);
    EXPECT_EQ(&m->x, node->AffectingActionList[0]);
    EXPECT_EQ(&m->y, node->AffectingActionList[1]);
    EXPECT_EQ(&m->w, node->AffectingActionList[2]);
    ASSERT_EQ(1, m->w.AffectedNodesByRateReward.size());
    EXPECT_EQ(0, m->w.AffectedNodesByRateReward[0]);
    EXPECT_EQ(3, model->NumAffectingActions);
    delete model;
}

TEST_F(PVModelTest, ActionsListTheWorkersOfTheirInstance) {
    FactoryRewardModel* model = Make({"M", "M", "M"}, Vars{{"a", "M"}});
    model->CreatePVList(1, false);
    model->Initialize();
    for (int j = 0; j < 3; j++) {
        FastSet& workers = join->Sans[j]->x.PVRateDS[0];
        ASSERT_EQ(1, workers.size()) << "instance " << j;
        EXPECT_EQ(j, workers[0]) << "instance " << j;
    }
    delete model;
}

TEST_F(PVModelTest, FiringRecomputesTheConsideredRewardsAndCopiesTheState) {
    FactoryRewardModel* model = Make({"M", "M"}, Vars{{"a", "M"}});
    model->CreatePVList(2, false);
    model->Initialize();
    int second = 1;
    model->ConsiderOnly(&second, 1);
    ASSERT_EQ(1u, model->ConsideredPVs.size());
    std::vector<char> buf(model->StateSize()), expected(model->StateSize());
    model->FireAction(buf.data(), &join->Sans[1]->x);
    EXPECT_EQ(1, join->Sans[1]->x.TimesFired);
    EXPECT_EQ(&join->Sans[1]->x, model->LastFiredAction);
    join->CurrentState(expected.data());
    EXPECT_EQ(expected, buf);
    EXPECT_EQ(1.0, model->PVNodes[1]->RateValue);
    EXPECT_EQ(0.0, model->PVNodes[0]->RateValue) << "not considered, not recomputed";
    model->FireAction(buf.data(), &join->Sans[0]->w);
    EXPECT_EQ(2.0, model->PVNodes[1]->RateValue);
    delete model;
}

TEST_F(PVModelTest, ConsiderOnlyAppendsTheChosenNodesInOrder) {
    FactoryRewardModel* model = Make({"M"}, Vars{});
    model->CreatePVList(4, false);
    model->Initialize();
    int which[] = {3, 1};
    model->ConsiderOnly(which, 2);
    model->ConsiderOnly(nullptr, -1);
    std::vector<PerformanceVariableNode*> expected = {model->PVNodes[3], model->PVNodes[1]};
    for (int p = 0; p < 4; p++)
        expected.push_back(model->PVNodes[p]);
    EXPECT_EQ(expected, model->ConsideredPVs);
    delete model;
}

TEST_F(PVModelTest, AgingLeavesTheMarkingAndFiresNothing) {
    FactoryRewardModel* model = Make({"M"}, Vars{{"a", "M"}});
    model->CreatePVList(1, false);
    model->Initialize();
    model->ConsiderOnly(nullptr, -1);
    std::vector<char> buf(model->StateSize());
    model->FireAction(buf.data(), &join->Sans[0]->x);
    join->Sans[0]->a->setMark(5);
    model->AgeAction(buf.data(), &join->Sans[0]->x);
    EXPECT_EQ(&model->NoActionFired, model->LastFiredAction);
    EXPECT_EQ(1, join->Sans[0]->x.TimesFired);
    EXPECT_EQ(5, join->Sans[0]->A());
    EXPECT_EQ(5.0, model->PVNodes[0]->RateValue) << "rewards are refreshed";
    EXPECT_EQ(0.0, model->PVNodes[0]->ImpulseValue);
    delete model;
}

TEST_F(PVModelTest, WithoutVariablesNothingIsRecomputed) {
    FactoryRewardModel* model = Make({"M"}, Vars{});
    model->CreatePVList(0, false);
    model->Initialize();
    model->ConsiderOnly(nullptr, -1);
    EXPECT_TRUE(model->ConsideredPVs.empty());
    std::vector<char> buf(model->StateSize());
    model->FireAction(buf.data(), &model->NoActionFired);
    EXPECT_EQ(&model->NoActionFired, model->LastFiredAction);
    EXPECT_EQ(0, model->NumAffectingActions);
    std::string path = TempPath("empty");
    model->WritePVTypeFile(const_cast<char*>(path.c_str()));
    EXPECT_EQ("Version:1\nNumPV:0\n", ReadFile(path));
    std::remove(path.c_str());
    delete model;
}

TEST_F(PVModelTest, TypeFileOfAReliabilityLikeVariable) {
    for (bool expand : {false, true}) {
        PerformanceVariableNode::the_id = 0;
        join = new TestJoin({"ram_system"});
        FactoryRewardModel model(join, [](int, int t) {
            return new TestNode("reliability", Vars{{"system_failed", "ram_system"}}, t);
        });
        model.CreatePVList(1, expand);
        model.Initialize();
        std::string block = "Name:reliability\nType:0\nNumTimes:3\n"
                            "Start:30\nStop:30\nStart:180\nStop:180\nStart:365\nStop:365\n";
        std::string expected = std::string("Version:1\nNumPV:") + (expand ? "3" : "1") + "\n";
        for (int k = 0; k < (expand ? 3 : 1); k++)
            expected += block;
        std::string path = TempPath("reliability");
        std::remove(path.c_str());
        {
            std::ofstream stale(path);
            stale << "longer stale contents that must disappear entirely\n"
                  << std::string(400, 'x');
        }
        model.WritePVTypeFile(const_cast<char*>(path.c_str()));
        std::string text = ReadFile(path);
        EXPECT_EQ(expected, text) << "expand " << expand;
        if (!expand) {
            int lines = 0;
            for (char c : text)
                lines += c == '\n';
            EXPECT_EQ(11, lines);
        }
        std::remove(path.c_str());
    }
}

TEST_F(PVModelTest, TypeFileWritesTimesInDefaultFormat) {
    join = new TestJoin({"M"});
    FactoryRewardModel* model = new FactoryRewardModel(join, [](int, int t) {
        return new TestNode("pv0", Vars{}, t, {0.5, 1234567.0, 1e-7}, {2.0, 1234567.0, 100000});
    });
    model->CreatePVList(1, false);
    model->Initialize();
    std::string path = TempPath("format");
    model->WritePVTypeFile(const_cast<char*>(path.c_str()));
    EXPECT_EQ("Version:1\nNumPV:1\nName:pv0\nType:0\nNumTimes:3\n"
              "Start:0.5\nStop:2\nStart:1.23457e+06\nStop:1.23457e+06\n"
              "Start:1e-07\nStop:100000\n",
              ReadFile(path));
    std::remove(path.c_str());
    delete model;
}

TEST_F(PVModelTest, TypeFileThatCannotBeWrittenEndsTheRun) {
    FactoryRewardModel* model = Make({"M"}, Vars{});
    model->CreatePVList(1, false);
    model->Initialize();
    std::string path = ::testing::TempDir() + "no_such_directory_pvmodeltest/run.pvtype";
    EXPECT_EXIT(model->WritePVTypeFile(const_cast<char*>(path.c_str())),
                ::testing::ExitedWithCode(1),
                HasSubstr("Error: Could not write PV type file " + path + "\n"));
    delete model;
}

TEST_F(PVModelTest, DependencyOnAMissingModelStopsTheSetUpWithStatusOne) {
    FactoryRewardModel* model = Make({"M"}, Vars{{"a", "Q"}});
    model->CreatePVList(1, false);
    EXPECT_EXIT(model->Initialize(), ::testing::ExitedWithCode(1),
                HasSubstr("Number of Q's was 0.  Model cannot be created.\nModel Name was: J\n."));
    delete model;
}

TEST_F(PVModelTest, TimeAxisOperations) {
    FactoryRewardModel* model = Make({"M"}, Vars{{"a", "M"}}, {5});
    model->CreatePVList(1, false);
    model->Initialize();
    model->ConsiderOnly(nullptr, -1);
    model->FireAction(&join->Sans[0]->x, 4.0);
    EXPECT_EQ(4.0, BaseModelClass::LastActionTime);
    EXPECT_EQ(&join->Sans[0]->x, model->LastFiredAction);
    EXPECT_EQ(1, join->Sans[0]->A());
    EXPECT_EQ(0.0, model->PVNodes[0]->RateValue) << "no reward is recomputed";
    model->Accumulate(5.0);
    EXPECT_EQ(1, model->PVNodes[0]->AccumulationState);
    model->EndAccumulate(5.0);
    EXPECT_EQ(2, model->PVNodes[0]->AccumulationState);
    EXPECT_EQ(1.0, model->PVNodes[0]->RateValue);
    model->PVReset();
    EXPECT_EQ(0, model->PVNodes[0]->AccumulationState);
    EXPECT_EQ(0.0, model->PVNodes[0]->RateValue);
    EXPECT_EQ(&model->NoActionFired, model->LastFiredAction);
    EXPECT_EQ(0.0, BaseModelClass::LastActionTime);
    delete model;
}

} // namespace
