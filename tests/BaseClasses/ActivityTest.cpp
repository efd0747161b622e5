#include "BaseClasses/Activity.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/state/Place.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace {

// An activity as generated code writes one: it moves a token from `in` to `out`
// and reads the markings through the cached pointers bound by LinkVariables.
class MoveActivity : public Activity {
  public:
    Place* in = nullptr;
    short* in_Mark = nullptr;
    Place* out = nullptr;
    short* out_Mark = nullptr;
    double* parameters;
    double phases = 1.0;

    MoveActivity(const char* name, int group) : parameters(new double[1]) {
        ActivityInitialize(name, group, Exponential, DefaultPolicy, 2, 1, false);
    }
    ~MoveActivity() override { delete[] parameters; }

    bool Enabled() override {
        PreviouslyEnabled = CurrentlyEnabled;
        CurrentlyEnabled = *in_Mark > 0;
        return CurrentlyEnabled;
    }
    double Weight() override { return 1.0; }
    double Rate() override { return 2.5; }
    bool ReactivationPredicate() override { return false; }
    bool ReactivationFunction() override { return false; }
    double SampleDistribution() override { return 0.0; }
    double* ReturnDistributionParameters() override {
        parameters[0] = Rate();
        return parameters;
    }
    BaseActionClass* Fire() override {
        (*in_Mark)--;
        (*out_Mark)++;
        return this;
    }
    int Rank() override { return 1; }
    double ErlangParamM() override { return phases; }
    void LinkVariables() override {
        in_Mark = in->Value;
        in->addReference(&in_Mark, nullptr);
        out_Mark = out->Value;
        out->addReference(&out_Mark, nullptr);
    }
};

class ActivityTest : public ::testing::Test {
  protected:
    void SetUp() override { BaseActionClass::MaxID = 0; }
};

TEST_F(ActivityTest, ConstructionMakesItsOwnGroup) {
    MoveActivity a("move", 3);
    EXPECT_EQ(a.ID, 0);
    EXPECT_EQ(a.SelectedAction, &a);
    EXPECT_TRUE(a.Disabled);
    EXPECT_FALSE(a.Reactivation);
    EXPECT_FALSE(a.CurrentlyEnabled);
    EXPECT_FALSE(a.PreviouslyEnabled);
    EXPECT_STREQ(a.Name, "move");
    EXPECT_EQ(a.GroupID, 3);
    EXPECT_EQ(a.DistributionType, Exponential);
    EXPECT_EQ(a.ExecutionPolicy, 1);
    EXPECT_EQ(a.NumMembers, 0);
    EXPECT_EQ(a.getPrintedAction(), &a);
    EXPECT_FALSE(a.IsAMember(&a)) << "membership is the inherited group version";

    MoveActivity b("other", 3);
    EXPECT_EQ(b.ID, a.ID + 1);
    a.setGroupId(7);
    EXPECT_EQ(a.GroupID, 7);
    EXPECT_EQ(b.GroupID, 3);
}

TEST_F(ActivityTest, EnablingChangeComparesWithThePreviousEvaluation) {
    Place in("in", 0), out("out", 0);
    MoveActivity a("move", 0);
    a.in = &in;
    a.out = &out;
    a.LinkVariables();

    // Each step: marking of `in` before the call, whether Enabled() is called
    // first, and what EnablingChange() answers.
    const struct {
        short marking;
        bool enabledFirst;
        bool change;
    } steps[] = {
        {0, false, false}, // false -> false
        {1, false, true},  // false -> true
        {1, false, false}, // true -> true
        {0, true, false},  // Enabled() moved the reference point to false
        {2, false, true},  {0, false, true},
    };
    int i = 0;
    for (const auto& s : steps) {
        in.setMark(s.marking);
        if (s.enabledFirst)
            a.Enabled();
        EXPECT_EQ(a.EnablingChange(), s.change) << "step " << i;
        EXPECT_EQ(a.CurrentlyEnabled, s.marking > 0) << "step " << i;
        i++;
    }
}

TEST_F(ActivityTest, AnActivityIsItsOnlyChoice) {
    Place in("in", 1), out("out", 0);
    MoveActivity case1("c_case1", 2), case2("c_case2", 2);
    for (MoveActivity* a : {&case1, &case2}) {
        a->in = &in;
        a->out = &out;
        a->LinkVariables();
    }
    PostselectGroup group;
    group.initialize(2, "cGroup");
    group.appendGroup(&case1);
    group.appendGroup(&case2);

    EXPECT_EQ(case1.Probability(&case1), 1.0);
    EXPECT_EQ(case1.Probability(&case2), 0.0) << "a case of the same group";
    EXPECT_EQ(case1.Probability(&group), 0.0);

    EXPECT_TRUE(case1.SelectAction());
    EXPECT_TRUE(case1.CurrentlyEnabled);
    in.setMark(0);
    EXPECT_FALSE(case1.SelectAction());
    EXPECT_TRUE(case1.PreviouslyEnabled);
    EXPECT_FALSE(case1.CurrentlyEnabled);

    group.setGroupId(5);
    EXPECT_EQ(case1.GroupID, 5);
    EXPECT_EQ(case2.GroupID, 5);
}

TEST_F(ActivityTest, CachedPointersFollowSharing) {
    Place in("in", 1), out("out", 0);
    MoveActivity a("move", 0);
    a.in = &in;
    a.out = &out;
    a.LinkVariables();
    EXPECT_EQ(in.getSharingCount(), 3);
    EXPECT_EQ(out.getSharingCount(), 3);

    // A composed model shares its own fresh place with the submodel's place.
    Place joined("joined", 0);
    joined.ShareWith(&out);
    EXPECT_EQ(a.out_Mark, joined.Value);
    EXPECT_EQ(joined.getSharingCount(), 5);
    EXPECT_EQ(a.Fire(), &a);
    EXPECT_EQ(joined.getMark(), 1);
    EXPECT_EQ(out.getMark(), 1);
    EXPECT_EQ(in.getMark(), 0);
    EXPECT_FALSE(a.Enabled());
}

TEST_F(ActivityTest, AffectingVariablesAndParameters) {
    Place in("in", 1), out("out", 0), elsewhere("elsewhere", 0);
    MoveActivity a("move", 0);
    a.addAffectedSV(&in);
    a.addAffectedSV(&out);
    a.addEnablingSV(&in);
    EXPECT_TRUE(a.IsAnAffectingStateVariable(&in));
    EXPECT_TRUE(a.IsAnAffectingStateVariable(&out));
    EXPECT_FALSE(a.IsAnAffectingStateVariable(&elsewhere));

    std::ostringstream enabling;
    a.printEnablingState(&enabling);
    EXPECT_EQ(enabling.str(), "in = 1\n");

    double* p = a.ReturnDistributionParameters();
    ASSERT_EQ(p, a.parameters);
    EXPECT_EQ(p[0], 2.5);
}

TEST_F(ActivityTest, ErlangActivityCountsPhases) {
    MoveActivity a("slow", 0);
    a.DistributionType = Erlang;
    a.phases = 3.0;
    EXPECT_FALSE(a.ReadyToFire());
    a.Age();
    EXPECT_FALSE(a.ReadyToFire());
    a.Age();
    EXPECT_TRUE(a.ReadyToFire());
    a.ResetPhase();
    EXPECT_FALSE(a.ReadyToFire());
}

TEST_F(ActivityTest, InitializingConstructor) {
    class Plain : public Activity {
      public:
        using Activity::Activity;
        void LinkVariables() override {}
    };
    Plain a("plain", 4, Deterministic, DefaultPolicy, 0, 0, true);
    EXPECT_STREQ(a.Name, "plain");
    EXPECT_EQ(a.GroupID, 4);
    EXPECT_EQ(a.DistributionType, Deterministic);
    EXPECT_TRUE(a.Reactivation);
    EXPECT_EQ(a.SelectedAction, &a);
    EXPECT_FALSE(a.CurrentlyEnabled);
}

} // namespace
