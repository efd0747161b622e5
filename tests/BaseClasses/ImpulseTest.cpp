#include "BaseClasses/ImpulseNodeClass.h"

#include "BaseClasses/ActionModelPairClass.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "RewardTestModels.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using rewardtest::SumWorker;
using rewardtest::TestJoin;
using rewardtest::TestSAN;
using ::testing::HasSubstr;

namespace {

TestSAN* San(BaseModelClass* m) {
    return static_cast<TestSAN*>(m);
}

// ---- A reward model with impulses, in the shape the code generator gives it ----
//
// Composed model: M, M, N, N, N (children 0 to 4).
// earned (PV0): rate reward a of M; impulse 0 on x of M reading M (1 + b of its M);
//   impulse 1 on y of M reading M and N (b of M + a of N).
// retargeted (PV1): impulse 0 registered on x of M, then moved to x of N without
//   making N a dependency: it reads only M (a of M), so its workers multiply by the
//   three instances of N.
// plain (PV2): rate reward over a of M and a of N, no impulse.

// Base of the generated impulse classes below: counts what the node asks of it.
class CountingImpulse : public ImpulseNodeClass {
  public:
    int Evaluations = 0;
    int Accumulations = 0;
    int EndAccumulations = 0;
    int Resets = 0;

    void ImpulseEndAccumulate(double) override { EndAccumulations++; }
    void ImpulseUpdate(double) override {}
    void ImpulseAccumulate(double, double) override { Accumulations++; }
    void ImpulseReset() override {
        Resets++;
        Reset();
    }
};

class earnedImpulse0 : public CountingImpulse {
  public:
    BaseModelClass* M = nullptr;

    earnedImpulse0() {
        NumModelSlots = 1;
        ModelSlots = new BaseModelClass**[1];
        ModelSlots[0] = &M;
    }
    ~earnedImpulse0() override { delete[] ModelSlots; }
    void ImpulseCurrentReward() override {
        Evaluations++;
        Value = 1 + San(M)->B();
        ValueSquare = Value * Value;
    }
    ImpulseNodeClass** CreateWorkers(int count) override {
        ImpulseNodeClass** workers = new ImpulseNodeClass*[count];
        for (int k = 0; k < count; k++)
            workers[k] = new earnedImpulse0();
        return workers;
    }
};

class earnedImpulse1 : public CountingImpulse {
  public:
    BaseModelClass* M = nullptr;
    BaseModelClass* N = nullptr;

    earnedImpulse1() {
        NumModelSlots = 2;
        ModelSlots = new BaseModelClass**[2];
        ModelSlots[0] = &M;
        ModelSlots[1] = &N;
    }
    ~earnedImpulse1() override { delete[] ModelSlots; }
    void ImpulseCurrentReward() override {
        Evaluations++;
        Value = San(M)->B() + San(N)->A();
        ValueSquare = Value * Value;
    }
    ImpulseNodeClass** CreateWorkers(int count) override {
        ImpulseNodeClass** workers = new ImpulseNodeClass*[count];
        for (int k = 0; k < count; k++)
            workers[k] = new earnedImpulse1();
        return workers;
    }
};

class retargetedImpulse0 : public CountingImpulse {
  public:
    BaseModelClass* M = nullptr;

    retargetedImpulse0() {
        NumModelSlots = 1;
        ModelSlots = new BaseModelClass**[1];
        ModelSlots[0] = &M;
    }
    ~retargetedImpulse0() override { delete[] ModelSlots; }
    void ImpulseCurrentReward() override {
        Evaluations++;
        Value = San(M)->A();
        ValueSquare = Value * Value;
    }
    ImpulseNodeClass** CreateWorkers(int count) override {
        ImpulseNodeClass** workers = new ImpulseNodeClass*[count];
        for (int k = 0; k < count; k++)
            workers[k] = new retargetedImpulse0();
        return workers;
    }
};

// A generated node: its worker class, the top-level pointer member, its impulses.
class GeneratedNode : public PerformanceVariableNode {
  public:
    BaseModelClass* Top = nullptr;

    void CreateWorkerList() override {
        for (int i = 0; i < NumWorkers; i++)
            Workers[i] = new SumWorker(NumModelDependencies);
    }
    ~GeneratedNode() override {
        for (int i = 0; i < NumWorkers; i++) {
            delete[] Workers[i]->Name;
            delete Workers[i];
        }
    }
    template <class T> T* ImpulseWorker(int i, int k) const {
        return static_cast<T*>(ImpulseWorkers[i][k]);
    }

  protected:
    void Begin(const char* name, int timeIndex, int impulses, int modelDeps, int varDeps) {
        TopModelRef = &Top;
        double times[] = {10.0, 20.0};
        double stops[] = {10.0, 20.0};
        Initialize(name, InstantOfTimeReward, 2, times, stops, timeIndex, impulses, modelDeps,
                   varDeps);
    }
};

class earnedPV0 : public GeneratedNode {
  public:
    earnedImpulse0 impulse0;
    earnedImpulse1 impulse1;

    explicit earnedPV0(int timeIndex) {
        Begin("earned", timeIndex, 2, 1, 1);
        AddVariableDependency("a", "M");
        AddImpulse("x", "M", &impulse0);
        AddImpulse("y", "M", &impulse1);
        AddImpulseModelDependency("N", &impulse1);
    }
};

class retargetedPV1 : public GeneratedNode {
  public:
    retargetedImpulse0 impulse0;

    explicit retargetedPV1(int timeIndex) {
        Begin("retargeted", timeIndex, 1, 0, 0);
        AddImpulse("x", "M", &impulse0);
        AddImpulseActionDependency("x", "N", 0);
    }
};

class plainPV2 : public GeneratedNode {
  public:
    explicit plainPV2(int timeIndex) {
        Begin("plain", timeIndex, 0, 2, 2);
        AddVariableDependency("a", "M");
        AddVariableDependency("a", "N");
    }
};

class ImpulseRewardPVModel : public PVModel {
  public:
    TestJoin* Join;

    ImpulseRewardPVModel() {
        Join = new TestJoin({"M", "M", "N", "N", "N"});
        TopModel = Join;
        DefineName("ImpulseRewardPVModel");
        CreatePVList(3, false);
        Initialize();
    }
    PerformanceVariableNode* createPVNode(int pv, int t) override {
        switch (pv) {
        case 0:
            return new earnedPV0(t);
        case 1:
            return new retargetedPV1(t);
        case 2:
            return new plainPV2(t);
        default:
            return nullptr;
        }
    }
    earnedPV0* Earned() const { return static_cast<earnedPV0*>(PVNodes[0]); }
    retargetedPV1* Retargeted() const { return static_cast<retargetedPV1*>(PVNodes[1]); }
    plainPV2* Plain() const { return static_cast<plainPV2*>(PVNodes[2]); }
    TestSAN* M(int j) const { return Join->Sans[j]; }
    TestSAN* N(int j) const { return Join->Sans[2 + j]; }
};

class ImpulseRewardModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PerformanceVariableNode::the_id = 0;
        BaseActionClass::MaxID = 0;
        BaseModelClass::ResetModelIdCounter();
        model = new ImpulseRewardPVModel();
        model->ConsiderOnly(nullptr, -1);
        // Distinct markings per instance, so that a sum tells who was read.
        for (int j = 0; j < 2; j++)
            model->M(j)->b->setMark(static_cast<short>(10 * (j + 1)));
        for (int j = 0; j < 3; j++)
            model->N(j)->a->setMark(static_cast<short>(1 << j));
        buf.assign(model->StateSize(), 0);
    }
    void TearDown() override { delete model; }

    // Evaluation counts of the workers of impulse i of a node.
    template <class T> std::vector<int> Evaluations(GeneratedNode* node, int i) {
        std::vector<int> counts;
        for (int k = 0; k < node->ImpulseWorkerCount[i]; k++)
            counts.push_back(node->ImpulseWorker<T>(i, k)->Evaluations);
        return counts;
    }

    ImpulseRewardPVModel* model = nullptr;
    std::vector<char> buf;
};

TEST_F(ImpulseRewardModelTest, WorkerCountsFollowTheInstancesRead) {
    earnedPV0* earned = model->Earned();
    ASSERT_EQ(2, earned->NumImpulses);
    EXPECT_EQ(2, earned->ImpulseWorkerCount[0]) << "x of M reading M: one per M";
    EXPECT_EQ(2, earned->ActionModelInstances[0]);
    EXPECT_EQ(6, earned->ImpulseWorkerCount[1]) << "y of M reading M and N: 2 x 3";
    EXPECT_EQ(2, earned->ActionModelInstances[1]);
    retargetedPV1* retargeted = model->Retargeted();
    EXPECT_EQ(3, retargeted->ActionModelInstances[0]);
    EXPECT_EQ(6, retargeted->ImpulseWorkerCount[0])
        << "reads only M (2) but belongs to x of N: times the 3 instances of N";
    EXPECT_EQ(2, earned->NumWorkers);
    EXPECT_EQ(0, retargeted->NumWorkers);
    EXPECT_EQ(6, model->Plain()->NumWorkers);
}

TEST_F(ImpulseRewardModelTest, EachWorkerBelongsToOneActionInstanceAndReadsItsOwnInstance) {
    earnedPV0* earned = model->Earned();
    for (int k = 0; k < 2; k++) {
        auto* w = earned->ImpulseWorker<earnedImpulse0>(0, k);
        EXPECT_EQ(model->M(k), w->ActionModel) << "worker " << k;
        EXPECT_EQ(model->M(k), w->M) << "worker " << k;
        EXPECT_STREQ("earned", w->Name);
        EXPECT_EQ(0, w->ImpulseNumber);
        EXPECT_EQ(k, w->WorkerIndex);
        EXPECT_EQ(earned->ID, w->PVID);
        EXPECT_EQ(10.0, w->StartTime);
    }
    // Block j of impulse 1 belongs to M_j and enumerates the three N instances.
    for (int k = 0; k < 6; k++) {
        auto* w = earned->ImpulseWorker<earnedImpulse1>(1, k);
        EXPECT_EQ(model->M(k / 3), w->ActionModel) << "worker " << k;
        EXPECT_EQ(model->M(k / 3), w->M) << "worker " << k;
        EXPECT_EQ(model->N(k % 3), w->N) << "worker " << k;
        EXPECT_EQ(1, w->ImpulseNumber);
        EXPECT_EQ(k, w->WorkerIndex);
    }
    retargetedPV1* retargeted = model->Retargeted();
    for (int k = 0; k < 6; k++) {
        auto* w = retargeted->ImpulseWorker<retargetedImpulse0>(0, k);
        EXPECT_EQ(model->N(k / 2), w->ActionModel) << "worker " << k;
        EXPECT_EQ(model->M(k % 2), w->M) << "worker " << k;
    }
}

TEST_F(ImpulseRewardModelTest, ActionsListTheWorkersOfTheirOwnInstance) {
    const int earned = model->Earned()->ID;
    struct Case {
        BaseActionClass* action;
        int impulse;
        std::vector<int> workers;
    };
    const std::vector<Case> cases = {
        {&model->M(0)->x, 0, {0}},
        {&model->M(1)->x, 0, {1}},
        {&model->M(0)->y, 1, {0, 1, 2}},
        {&model->M(1)->y, 1, {3, 4, 5}},
    };
    for (size_t c = 0; c < cases.size(); c++) {
        BaseActionClass* a = cases[c].action;
        ASSERT_TRUE(model->Earned()->ImpulseAffectedBy(a)) << "case " << c;
        FastSet& impulses = a->PVImpulseDS[earned];
        ASSERT_EQ(1, impulses.size()) << "case " << c;
        EXPECT_EQ(cases[c].impulse, impulses[0]) << "case " << c;
        int count = a->ImpulseWorkerCounts[earned][cases[c].impulse];
        ASSERT_EQ(static_cast<int>(cases[c].workers.size()), count) << "case " << c;
        for (int k = 0; k < count; k++)
            EXPECT_EQ(cases[c].workers[k], a->ImpulseWorkerLists[earned][cases[c].impulse][k])
                << "case " << c << " entry " << k;
    }
    for (int j = 0; j < 3; j++) {
        EXPECT_FALSE(model->Earned()->ImpulseAffectedBy(&model->N(j)->x)) << "N" << j;
        EXPECT_TRUE(model->Retargeted()->ImpulseAffectedBy(&model->N(j)->x)) << "N" << j;
        EXPECT_FALSE(model->Retargeted()->ImpulseAffectedBy(&model->N(j)->y)) << "N" << j;
    }
    EXPECT_FALSE(model->Retargeted()->ImpulseAffectedBy(&model->M(0)->x))
        << "the pair was moved to N";
    EXPECT_FALSE(model->Plain()->ImpulseAffectedBy(&model->M(0)->x));
    EXPECT_FALSE(model->Earned()->ImpulseAffectedBy(&model->M(0)->w));
}

TEST_F(ImpulseRewardModelTest, ImpulseActionsJoinTheAffectedLists) {
    // y of M changes no variable that a node reads: it is listed for its impulse only.
    // x of N feeds the rate reward of plain and the impulse of retargeted.
    for (int j = 0; j < 2; j++) {
        FastSet& nodes = model->M(j)->y.AffectedNodes;
        ASSERT_EQ(1, nodes.size()) << "M" << j;
        EXPECT_EQ(model->Earned()->ID, nodes[0]) << "M" << j;
    }
    for (int j = 0; j < 3; j++) {
        FastSet& nodes = model->N(j)->x.AffectedNodes;
        ASSERT_EQ(2, nodes.size()) << "N" << j;
        EXPECT_EQ(model->Retargeted()->ID, nodes[0]) << "N" << j;
        EXPECT_EQ(model->Plain()->ID, nodes[1]) << "N" << j;
    }
    retargetedPV1* retargeted = model->Retargeted();
    ASSERT_EQ(3, retargeted->NumAffectingActions);
    for (int j = 0; j < 3; j++)
        EXPECT_EQ(&model->N(j)->x, retargeted->AffectingActionList[j]) << "N" << j;
    EXPECT_GT(model->NumImpulseDSActions, 0);
}

TEST_F(ImpulseRewardModelTest, FiringInTheSecondInstanceEvaluatesOnlyItsWorker) {
    model->FireAction(buf.data(), &model->M(1)->x);
    EXPECT_EQ((std::vector<int>{0, 1}), Evaluations<earnedImpulse0>(model->Earned(), 0));
    EXPECT_EQ((std::vector<int>(6, 0)), Evaluations<earnedImpulse1>(model->Earned(), 1));
    EXPECT_EQ((std::vector<int>(6, 0)), Evaluations<retargetedImpulse0>(model->Retargeted(), 0));
    EXPECT_EQ(1.0 + 20, model->Earned()->ImpulseValue);
    EXPECT_EQ(21.0 * 21.0, model->Earned()->ImpulseSquare);
    EXPECT_EQ(0.0, model->Retargeted()->ImpulseValue);
    EXPECT_EQ(0.0, model->Plain()->ImpulseValue);
    EXPECT_EQ(&model->M(1)->x, model->LastFiredAction);

    model->FireAction(buf.data(), &model->M(0)->x);
    EXPECT_EQ((std::vector<int>{1, 1}), Evaluations<earnedImpulse0>(model->Earned(), 0));
    EXPECT_EQ(1.0 + 10, model->Earned()->ImpulseValue);
}

TEST_F(ImpulseRewardModelTest, FiringEvaluatesTheWholeBlockOfTheInstance) {
    // y of M1 raises b of M1 to 21 first; its block reads (M1, N0), (M1, N1), (M1, N2).
    model->FireAction(buf.data(), &model->M(1)->y);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1, 1, 1}),
              Evaluations<earnedImpulse1>(model->Earned(), 1));
    EXPECT_EQ((std::vector<int>{0, 0}), Evaluations<earnedImpulse0>(model->Earned(), 0));
    EXPECT_EQ((21 + 1) + (21 + 2) + (21 + 4), model->Earned()->ImpulseValue);
    EXPECT_EQ(22.0 * 22 + 23 * 23 + 25 * 25, model->Earned()->ImpulseSquare);

    // x of N2 belongs to the last block of the retargeted impulse: a of M0, a of M1.
    model->M(0)->a->setMark(3);
    model->M(1)->a->setMark(5);
    model->FireAction(buf.data(), &model->N(2)->x);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 1, 1}),
              Evaluations<retargetedImpulse0>(model->Retargeted(), 0));
    EXPECT_EQ(3.0 + 5.0, model->Retargeted()->ImpulseValue);
    EXPECT_EQ(0.0, model->Earned()->ImpulseValue) << "the earlier impulse is not kept";
}

TEST_F(ImpulseRewardModelTest, RateRewardsSumEveryCombinationAfterEachFiring) {
    model->M(0)->a->setMark(1);
    model->M(1)->a->setMark(10);
    // N's a markings are 1, 2, 4. Firing x of N1 raises N1's a to 3.
    model->FireAction(buf.data(), &model->N(1)->x);
    EXPECT_EQ(1.0 + 10.0, model->Earned()->RateValue);
    EXPECT_EQ(3 * (1 + 10) + 2 * (1 + 3 + 4), model->Plain()->RateValue);
    EXPECT_EQ(0.0, model->Plain()->ImpulseValue);
    model->FireAction(buf.data(), &model->M(0)->x);
    EXPECT_EQ(2.0 + 10.0, model->Earned()->RateValue);
    EXPECT_EQ(3 * (2 + 10) + 2 * (1 + 3 + 4), model->Plain()->RateValue);
}

TEST_F(ImpulseRewardModelTest, AgingEarnsNoImpulse) {
    model->FireAction(buf.data(), &model->M(0)->x);
    ASSERT_NE(0.0, model->Earned()->ImpulseValue);
    model->AgeAction(buf.data(), &model->M(0)->x);
    EXPECT_EQ(&model->NoActionFired, model->LastFiredAction);
    EXPECT_EQ(0.0, model->Earned()->ImpulseValue);
    EXPECT_EQ(0.0, model->Earned()->ImpulseSquare);
    EXPECT_EQ((std::vector<int>{1, 0}), Evaluations<earnedImpulse0>(model->Earned(), 0));
}

TEST_F(ImpulseRewardModelTest, AccumulationStepsReachTheListedImpulseWorkers) {
    earnedPV0* earned = model->Earned();
    earned->CommonAccumulate(10.0, 0.0, &model->M(1)->x);
    EXPECT_EQ(0, earned->ImpulseWorker<earnedImpulse0>(0, 0)->Accumulations);
    EXPECT_EQ(1, earned->ImpulseWorker<earnedImpulse0>(0, 1)->Accumulations);
    for (int k = 0; k < 6; k++)
        EXPECT_EQ(0, earned->ImpulseWorker<earnedImpulse1>(1, k)->Accumulations) << k;
    earned->ImpulseWorker<earnedImpulse0>(0, 0)->Value = 2.0;
    earned->ImpulseWorker<earnedImpulse1>(1, 4)->Value = 3.0;
    earned->EndAccumulate(10.0, 0.0, nullptr);
    for (int k = 0; k < 2; k++)
        EXPECT_EQ(1, earned->ImpulseWorker<earnedImpulse0>(0, k)->EndAccumulations) << k;
    for (int k = 0; k < 6; k++)
        EXPECT_EQ(1, earned->ImpulseWorker<earnedImpulse1>(1, k)->EndAccumulations) << k;
    EXPECT_EQ(2, earned->AccumulationState);
    EXPECT_EQ(5.0, earned->ImpulseValue);
    EXPECT_EQ(13.0, earned->ImpulseSquare);
    earned->Reset();
    EXPECT_EQ(1, earned->ImpulseWorker<earnedImpulse1>(1, 5)->Resets);
    EXPECT_EQ(0.0, earned->ImpulseWorker<earnedImpulse1>(1, 4)->Value);
}

// ---- Registration on a single node ----

class RegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override { PerformanceVariableNode::the_id = 0; }
};

class BareNode : public PerformanceVariableNode {
  public:
    explicit BareNode(int impulses) {
        double t[] = {1.0};
        Initialize("pv", InstantOfTimeReward, 1, t, t, 0, impulses, 0, 0);
    }
    void CreateWorkerList() override {}
};

TEST_F(RegistrationTest, AddImpulseTwiceKeepsOneRegistrationAndReplacesThePair) {
    BareNode node(2);
    earnedImpulse1 impulse;
    node.AddImpulse("x", "M", &impulse);
    node.AddImpulse("y", "N", &impulse);
    ASSERT_EQ(1, node.NumImpulses);
    EXPECT_EQ(0, node.GetImpulseNumber(&impulse));
    EXPECT_STREQ("y", node.ImpulseActions[0].ActionName);
    EXPECT_STREQ("N", node.ImpulseActions[0].ModelName);
    ASSERT_EQ(2, node.ImpulseModelDepCounts[0]);
    EXPECT_STREQ("M", node.ImpulseModelDeps[0][0]);
    EXPECT_STREQ("N", node.ImpulseModelDeps[0][1]);
    node.AddImpulse("x", "M", &impulse);
    EXPECT_EQ(1, node.NumImpulses);
    EXPECT_EQ(2, node.ImpulseModelDepCounts[0]) << "a known model is not added again";
}

TEST_F(RegistrationTest, ModelDependenciesPerImpulse) {
    BareNode node(2);
    earnedImpulse0 first;
    earnedImpulse1 second;
    node.AddImpulse("x", "M", &first);
    node.AddImpulse("y", "M", &second);
    node.AddImpulseModelDependency("N", &second);
    node.AddImpulseModelDependency("M", &second);
    EXPECT_EQ(1, node.GetImpulseNumber(&second));
    EXPECT_EQ(1, node.ImpulseModelDepCounts[0]);
    EXPECT_EQ(2, node.ImpulseModelDepCounts[1]);
    EXPECT_TRUE(node.IsDependentOnImpulseModel("N", 1));
    EXPECT_FALSE(node.IsDependentOnImpulseModel("N", 0));
    // The positional form appends without looking for repetition, beyond the slots.
    node.AddImpulseModelDependency("N", 0);
    node.AddImpulseModelDependency("N", 0);
    ASSERT_EQ(3, node.ImpulseModelDepCounts[0]);
    EXPECT_STREQ("N", node.ImpulseModelDeps[0][2]);
    node.AddImpulseActionDependency("z", "Q", 0);
    EXPECT_STREQ("z", node.ImpulseActions[0].ActionName);
    EXPECT_STREQ("Q", node.ImpulseActions[0].ModelName);
}

TEST_F(RegistrationTest, MoreImpulsesThanAnnouncedAreKept) {
    BareNode node(0);
    earnedImpulse0 impulses[3];
    const char* actions[] = {"x", "y", "w"};
    for (int i = 0; i < 3; i++)
        node.AddImpulse(actions[i], "M", &impulses[i]);
    ASSERT_EQ(3, node.NumImpulses);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(i, node.GetImpulseNumber(&impulses[i])) << "impulse " << i;
        EXPECT_STREQ(actions[i], node.ImpulseActions[i].ActionName) << "impulse " << i;
        EXPECT_STREQ("M", node.ImpulseModelDeps[i][0]) << "impulse " << i;
    }
}

TEST_F(RegistrationTest, UnregisteredImpulseHasNoNumber) {
    BareNode node(1);
    earnedImpulse0 known, unknown;
    node.AddImpulse("x", "M", &known);
    EXPECT_EQ(-1, node.GetImpulseNumber(&unknown));
}

TEST_F(RegistrationTest, ModelDependencyOnUnregisteredImpulseEndsTheRunWithStatusOne) {
    BareNode node(1);
    earnedImpulse0 unknown;
    EXPECT_EXIT(node.AddImpulseModelDependency("M", &unknown), ::testing::ExitedWithCode(1),
                HasSubstr("Model Dependency requested on undefined impulse."
                          "  Check code generator.  Error code GP0001.\n"));
}

TEST_F(RegistrationTest, ImpulseAffectedByReadsTheActionsSetInBothForms) {
    BareNode zero(0), one(0);
    ASSERT_EQ(1, one.ID);
    BaseActionClass action;
    EXPECT_FALSE(one.ImpulseAffectedBy(&action));
    action.AffectedNodesByImpulseReward.insert(1);
    EXPECT_TRUE(one.ImpulseAffectedBy(&action));
    EXPECT_FALSE(zero.ImpulseAffectedBy(&action));
    action.AffectedNodesByImpulseReward.insert(3);
    action.AffectedNodesByImpulseReward.NoMoreModifications();
    EXPECT_TRUE(one.ImpulseAffectedBy(&action));
    EXPECT_FALSE(zero.ImpulseAffectedBy(&action));
    EXPECT_FALSE(zero.ImpulseAffectedBy(nullptr));
}

TEST(ImpulseNodeClassTest, NamingResetAndHelpers) {
    earnedImpulse0 impulse;
    EXPECT_EQ(-1, impulse.WorkerIndex);
    EXPECT_EQ(-1, impulse.ImpulseNumber);
    EXPECT_EQ(-1, impulse.PVID);
    EXPECT_EQ(nullptr, impulse.ActionModel);
    impulse.DefineName("pv", 2, 5);
    impulse.DefineName("pv2", 3, 6);
    EXPECT_STREQ("pv2", impulse.Name);
    EXPECT_EQ(3, impulse.ImpulseNumber);
    EXPECT_EQ(6, impulse.WorkerIndex);
    impulse.Value = 2;
    impulse.ValueSquare = 4;
    impulse.Reset();
    EXPECT_EQ(0.0, impulse.Value);
    EXPECT_EQ(0.0, impulse.ValueSquare);
    EXPECT_EQ(1.0, ImpulseNodeClass::min(1.0, 2.0));
    EXPECT_EQ(1.0, ImpulseNodeClass::min(2.0, 1.0));
    EXPECT_EQ(2.0, ImpulseNodeClass::max(1.0, 2.0));
    EXPECT_EQ(2.0, ImpulseNodeClass::max(2.0, 1.0));
}

TEST(ImpulseNodeClassTest, ActionModelPairTakesActionFirst) {
    ActionModelPairClass pair;
    pair.SetPair("x", "M");
    EXPECT_STREQ("x", pair.ActionName);
    EXPECT_STREQ("M", pair.ModelName);
    pair.SetPair(pair.ModelName, pair.ActionName);
    EXPECT_STREQ("M", pair.ActionName);
    EXPECT_STREQ("x", pair.ModelName);
}

} // namespace
