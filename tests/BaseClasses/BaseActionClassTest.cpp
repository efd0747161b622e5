#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/state/Place.h"

#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <sys/resource.h>

using ::testing::HasSubstr;

namespace {

class ErlangAction : public BaseActionClass {
  public:
    explicit ErlangAction(double m) : phases(m) { DistributionType = Erlang; }
    double ErlangParamM() override { return phases; }
    double phases;
};

class BaseActionClassTest : public ::testing::Test {
  protected:
    void SetUp() override { BaseActionClass::MaxID = 0; }
};

TEST_F(BaseActionClassTest, DefaultConstructionAndNumbering) {
    BaseActionClass first;
    BaseActionClass second;
    EXPECT_EQ(first.ID, 0);
    EXPECT_EQ(second.ID, first.ID + 1);
    EXPECT_EQ(BaseActionClass::MaxID, 2);

    EXPECT_STREQ(first.Name, "default");
    EXPECT_STREQ(first.getName(), "default");
    EXPECT_EQ(first.GroupID, 0);
    EXPECT_EQ(first.ExecutionPolicy, 1);
    EXPECT_TRUE(first.Disabled);
    EXPECT_FALSE(first.Reactivation);
    EXPECT_FALSE(first.Fired);
    EXPECT_EQ(first.DistributionType, Exponential);
    EXPECT_EQ(first.Phase, 1);
    EXPECT_EQ(first.PVRateDS, nullptr);
    EXPECT_EQ(first.PVImpulseDS, nullptr);
    EXPECT_EQ(first.ImpulseWorkerLists, nullptr);
    EXPECT_EQ(first.ImpulseWorkerCounts, nullptr);
    EXPECT_FALSE(first.IsPVRateDSAllocated());
    EXPECT_FALSE(first.IsPVImpulseDSAllocated());
    EXPECT_TRUE(first.AffectedNodes.empty());
    EXPECT_EQ(first.AffectedSVs.getNumItems(), 0);
    EXPECT_EQ(first.EnablingSVs.getNumItems(), 0);
}

TEST_F(BaseActionClassTest, BaseVirtualsAnswerNeutrally) {
    BaseActionClass a;
    BaseActionClass other;
    EXPECT_FALSE(a.isSync());
    EXPECT_FALSE(a.Enabled());
    EXPECT_EQ(a.Weight(), 0.0);
    EXPECT_EQ(a.Rate(), 0.0);
    EXPECT_FALSE(a.ReactivationPredicate());
    EXPECT_FALSE(a.ReactivationFunction());
    EXPECT_EQ(a.SampleDistribution(), 0.0);
    EXPECT_EQ(a.ReturnDistributionParameters(), nullptr);
    EXPECT_EQ(a.Fire(), nullptr);
    EXPECT_EQ(a.Rank(), 0);
    EXPECT_FALSE(a.EnablingChange());
    EXPECT_TRUE(a.IsAMember(&a));
    EXPECT_FALSE(a.IsAMember(&other));
    EXPECT_EQ(a.Probability(&other), 1.0);
    EXPECT_EQ(a.getPrintedAction(), &a);
    EXPECT_EQ(a.ErlangParamM(), 1.0);

    for (int f : {3, 0, -1, 0}) {
        a.SetFired(f);
        EXPECT_EQ(a.Fired, f != 0) << f;
    }
}

TEST_F(BaseActionClassTest, InitializationReplacesTheName) {
    BaseActionClass a;
    char name[] = "first";
    a.BaseActionClassInitialize(name, 4, Deterministic, DefaultPolicy, 2, 1, true);
    name[0] = 'X';
    EXPECT_STREQ(a.Name, "first");
    EXPECT_EQ(a.GroupID, 4);
    EXPECT_EQ(a.DistributionType, Deterministic);
    EXPECT_TRUE(a.Reactivation);
    // The first copy is freed by the second initialisation (checked by the
    // sanitizer builds).
    a.BaseActionClassInitialize("second", 5, Instantaneous, DefaultPolicy, 0, 0, false);
    EXPECT_STREQ(a.Name, "second");
    EXPECT_EQ(a.GroupID, 5);
    EXPECT_EQ(a.DistributionType, Instantaneous);
    EXPECT_FALSE(a.Reactivation);
    a.defineName("third");
    EXPECT_STREQ(a.Name, "third");

    BaseActionClass initialised("full", 2, Erlang, DefaultPolicy, 1, 1, false);
    EXPECT_STREQ(initialised.Name, "full");
    EXPECT_EQ(initialised.DistributionType, Erlang);
    EXPECT_EQ(initialised.ID, a.ID + 1);
}

TEST_F(BaseActionClassTest, ErlangReadiness) {
    // Ready exactly when the phase has reached M: M - 1 Age() calls from phase 1.
    for (double m : {1.0, 2.0, 3.0}) {
        ErlangAction a(m);
        for (int round = 0; round < 2; round++) {
            for (int ages = 0; ages <= 4; ages++) {
                EXPECT_EQ(a.ReadyToFire(), ages + 1 == static_cast<int>(m))
                    << "M " << m << " after " << ages << " Age() calls, round " << round;
                a.Age();
            }
            a.ResetPhase();
            EXPECT_EQ(a.Phase, 1);
        }
    }
    ErlangAction three(3.0);
    three.Age();
    EXPECT_FALSE(three.ReadyToFire());
    three.Age();
    EXPECT_TRUE(three.ReadyToFire());
    EXPECT_EQ(three.Phase, 3);
}

TEST_F(BaseActionClassTest, PrintInfoOfFreshAction) {
    BaseActionClass a;
    testing::internal::CaptureStdout();
    a.PrintInfo();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "********* default**********\n"
                                                      "\n"
                                                      "Enabled by:\n"
                                                      "Affects:\n"
                                                      "Group ID = 0\n"
                                                      "Execution Policy = 1\n"
                                                      "Disabled = 1\n"
                                                      "Reactivation = 0\n"
                                                      "DistributionType = 1\n");
}

TEST_F(BaseActionClassTest, PrintInfoListsVariables) {
    Place p("p", 1), q("q", 2);
    BaseActionClass a;
    a.BaseActionClassInitialize("act", 3, Instantaneous, DefaultPolicy, 1, 2, true);
    a.Disabled = false;
    a.addEnablingSV(&p);
    a.addEnablingSV(&q);
    a.addAffectedSV(&q);
    testing::internal::CaptureStdout();
    a.PrintInfo();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "********* act**********\n"
                                                      "\n"
                                                      "Enabled by:\n"
                                                      "           p\n"
                                                      "           q\n"
                                                      "Affects:\n"
                                                      "           q\n"
                                                      "Group ID = 3\n"
                                                      "Execution Policy = 1\n"
                                                      "Disabled = 0\n"
                                                      "Reactivation = 1\n"
                                                      "DistributionType = 18\n");

    std::ostringstream affected, enabling;
    a.printAffectedState(&affected);
    a.printEnablingState(&enabling);
    EXPECT_EQ(affected.str(), "q = 2\n");
    EXPECT_EQ(enabling.str(), "p = 1\nq = 2\n");
}

TEST_F(BaseActionClassTest, VariableListsHoldEachLeafOnce) {
    Place p("p", 0), q("q", 0);
    BaseActionClass a;
    a.addEnablingSV(&p);
    a.addEnablingSV(&p);
    a.addEnablingSV(&q);
    a.addAffectedSV(&q);
    a.addAffectedSV(&q);
    EXPECT_EQ(a.EnablingSVs.getNumItems(), 2);
    EXPECT_EQ(a.AffectedSVs.getNumItems(), 1);
    a.removeEnablingSV(&p);
    EXPECT_EQ(a.EnablingSVs.getNumItems(), 1);
    EXPECT_EQ(a.EnablingSVs.getItem(0), &q);
    a.removeAffectedSV(&p); // not held: nothing changes
    EXPECT_EQ(a.AffectedSVs.getNumItems(), 1);
    a.removeAffectedSV(&q);
    EXPECT_EQ(a.AffectedSVs.getNumItems(), 0);
}

TEST_F(BaseActionClassTest, RewardStructures) {
    BaseActionClass a;
    for (int n : {1, 3}) {
        a.AllocatePVRateDS(n);
        a.AllocatePVImpulseDS(n);
        ASSERT_TRUE(a.IsPVRateDSAllocated()) << n;
        ASSERT_TRUE(a.IsPVImpulseDSAllocated()) << n;
        for (int i = 0; i < n; i++) {
            EXPECT_TRUE(a.PVRateDS[i].empty()) << n << " " << i;
            EXPECT_TRUE(a.PVImpulseDS[i].empty()) << n << " " << i;
            EXPECT_EQ(a.ImpulseWorkerLists[i], nullptr) << n << " " << i;
            EXPECT_EQ(a.ImpulseWorkerCounts[i], nullptr) << n << " " << i;
        }
        a.PVRateDS[n - 1].insert(7);
        a.PVRateDS[n - 1].NoMoreModifications();
        EXPECT_EQ(a.PVRateDS[n - 1].size(), 1);
        a.DeallocatePVRateDS();
        a.DeallocatePVImpulseDS();
        EXPECT_FALSE(a.IsPVRateDSAllocated()) << n;
        EXPECT_FALSE(a.IsPVImpulseDSAllocated()) << n;
        EXPECT_EQ(a.ImpulseWorkerLists, nullptr);
        EXPECT_EQ(a.ImpulseWorkerCounts, nullptr);
    }
    // Deallocating what is not allocated does nothing.
    a.DeallocatePVRateDS();
    a.DeallocatePVImpulseDS();
    // Structures left allocated are freed with the action.
    a.AllocatePVRateDS(2);
    a.AllocatePVImpulseDS(2);
}

// A failed allocation is forced by capping the address space in the child.
TEST(BaseActionClassDeathTest, AllocationFailureReportsAndExits) {
    if (testsupport::kSanitized)
        GTEST_SKIP() << "a sanitizer cannot run under a capped address space";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int huge = 1 << 27; // several GiB of sets
    auto allocate = [huge](bool rate) {
        BaseActionClass a;
        rlimit limit{512L << 20, 512L << 20};
        setrlimit(RLIMIT_AS, &limit);
        if (rate)
            a.AllocatePVRateDS(huge);
        else
            a.AllocatePVImpulseDS(huge);
    };
    EXPECT_EXIT(allocate(true), ::testing::ExitedWithCode(1),
                HasSubstr("!! Memory allocation error in BaseActionClass::AllocatePVRateDS()\n"));
    EXPECT_EXIT(
        allocate(false), ::testing::ExitedWithCode(1),
        HasSubstr("!! Memory allocation error in BaseActionClass::AllocatePVImpulseDS()\n"));
}

} // namespace
