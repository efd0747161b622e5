#include "BaseClasses/Activity.h"
#include "BaseClasses/BaseGroupClass.h"
#include "BaseClasses/EmptyGroup.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/PreselectGroup.h"
#include "BaseClasses/SingleGroup.h"
#include "BaseClasses/state/Place.h"
#include "distributions/UserDistributions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// An activity as generated code writes one, with its answers set by the test.
class TestActivity : public Activity {
  public:
    bool enabledNow = true;
    int rank = 1;
    double weight = 1.0;
    double rate = 2.0;
    double sample = 0.5;
    bool reactivation = false;
    int enabledCalls = 0;
    int fired = 0;

    TestActivity(const char* name, bool enabled, int r, double w)
        : enabledNow(enabled), rank(r), weight(w) {
        ActivityInitialize(name, 0, Exponential, DefaultPolicy, 1, 1, false);
    }
    bool Enabled() override {
        enabledCalls++;
        PreviouslyEnabled = CurrentlyEnabled;
        CurrentlyEnabled = enabledNow;
        return CurrentlyEnabled;
    }
    double Weight() override { return weight; }
    double Rate() override { return rate; }
    bool ReactivationPredicate() override { return reactivation; }
    bool ReactivationFunction() override { return reactivation; }
    double SampleDistribution() override { return sample; }
    double* ReturnDistributionParameters() override { return nullptr; }
    BaseActionClass* Fire() override {
        fired++;
        return this;
    }
    int Rank() override { return rank; }
    void LinkVariables() override {}
};

// Hands out the given variates in order, then 0.
class ScriptedGenerator : public RandomNumberGenerator {
  public:
    std::vector<double> values;
    size_t next = 0;
    double rnd() override { return next < values.size() ? values[next++] : 0.0; }
};

class GroupTest : public ::testing::Test {
  protected:
    ScriptedGenerator scripted;
    RandomNumberGenerator* original = nullptr;
    std::vector<std::unique_ptr<TestActivity>> owned;

    void SetUp() override {
        BaseActionClass::MaxID = 0;
        original = TheDistribution->generator;
        TheDistribution->generator = &scripted;
    }
    void TearDown() override { TheDistribution->generator = original; }

    TestActivity* Make(const char* name, bool enabled, int rank, double weight) {
        owned.push_back(std::make_unique<TestActivity>(name, enabled, rank, weight));
        return owned.back().get();
    }
    void Script(std::vector<double> u) {
        scripted.values = u;
        scripted.next = 0;
    }
};

struct Member {
    bool enabled;
    int rank;
    double weight;
};

// ---- Probability ---------------------------------------------------------------

struct ProbabilityCase {
    const char* what;
    std::vector<Member> members;
    std::vector<double> expected;
};

TEST_F(GroupTest, ProbabilityByRankThenWeight) {
    const std::vector<ProbabilityCase> table = {
        {"two enabled cases", {{true, 1, 0.3}, {true, 1, 0.7}}, {0.3, 0.7}},
        // The asked member's own enabled state is not consulted.
        {"only the second enabled", {{false, 1, 0.3}, {true, 1, 0.7}}, {0.3 / 0.7, 1.0}},
        {"higher rank wins", {{true, 1, 0.5}, {true, 2, 0.25}, {true, 1, 0.5}}, {0.0, 1.0, 0.0}},
        // A disabled member of higher rank does not raise the rank of the choice.
        {"disabled higher rank", {{true, 1, 0.5}, {false, 2, 0.25}}, {1.0, 0.5}},
        {"rank zero counts without positive ranks", {{true, 0, 1.0}, {true, 0, 3.0}}, {0.25, 0.75}},
        {"negative rank never adds weight", {{true, -1, 1.0}, {true, 0, 1.0}}, {0.0, 1.0}},
        {"three of one rank",
         {{true, 3, 1.0}, {true, 3, 2.0}, {true, 3, 5.0}},
         {0.125, 0.25, 0.625}},
    };
    for (const ProbabilityCase& c : table) {
        BaseGroupClass g;
        g.initialize(static_cast<int>(c.members.size()), "g");
        std::vector<TestActivity*> acts;
        for (const Member& m : c.members) {
            acts.push_back(Make("a", m.enabled, m.rank, m.weight));
            g.appendGroup(acts.back());
        }
        testing::internal::CaptureStdout();
        for (size_t i = 0; i < acts.size(); i++)
            EXPECT_DOUBLE_EQ(g.Probability(acts[i]), c.expected[i]) << c.what << ", member " << i;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.what;
    }
}

TEST_F(GroupTest, ZeroTotalWeightIsReportedOncePerCall) {
    BaseGroupClass g;
    g.initialize(2, "g");
    TestActivity* a = Make("a", true, 1, 0.0);
    TestActivity* b = Make("b", true, 1, 0.0);
    g.appendGroup(a);
    g.appendGroup(b);
    testing::internal::CaptureStdout();
    double p = g.Probability(a);
    g.Probability(b);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "BaseGroupClass::Probability() TotalWeight is zero.\n"
              "BaseGroupClass::Probability() TotalWeight is zero.\n");
    EXPECT_TRUE(std::isnan(p)) << "0 / 0 is still computed";
}

TEST_F(GroupTest, ProbabilityThroughANestedGroup) {
    PostselectGroup inner;
    inner.initialize(2, "innerGroup");
    TestActivity* b = Make("b", true, 1, 0.25);
    TestActivity* c = Make("c", true, 1, 0.75);
    inner.appendGroup(b);
    inner.appendGroup(c);
    TestActivity* a = Make("a", true, 1, 3.0);
    BaseGroupClass outer;
    outer.initialize(2, "outer");
    outer.appendGroup(a);
    outer.appendGroup(&inner);
    // The inner group has rank 1 and weight 1 of its own.
    EXPECT_DOUBLE_EQ(outer.Probability(c), 0.25 * 0.75);
    EXPECT_DOUBLE_EQ(outer.Probability(b), 0.25 * 0.25);
    EXPECT_DOUBLE_EQ(outer.Probability(a), 0.75);
    EXPECT_TRUE(outer.IsAMember(&inner));
    EXPECT_FALSE(outer.IsAMember(c)) << "membership is not recursive";
}

// ---- Weight distribution and selection -----------------------------------------

TEST_F(GroupTest, WeightDistributionKeepsTheHighestRank) {
    BaseGroupClass g;
    g.initialize(5, "g");
    TestActivity* a = Make("a", true, 1, 1.0);
    TestActivity* b = Make("b", false, 3, 9.0);
    TestActivity* c = Make("c", true, 2, 2.0);
    TestActivity* d = Make("d", true, 1, 5.0);
    TestActivity* e = Make("e", true, 2, 3.0);
    for (TestActivity* m : {a, b, c, d, e})
        g.appendGroup(m);
    for (TestActivity* m : {a, c, e})
        m->Disabled = true;
    b->Disabled = false;
    d->Disabled = false;

    EXPECT_EQ(g.CalculateWeightDistribution(), 5.0);
    EXPECT_EQ(g.CurrentRank, 2);
    ASSERT_EQ(g.NumWeightEntries, 2);
    EXPECT_EQ(g.WeightTable[0].Member, c);
    EXPECT_EQ(g.WeightTable[0].CumulativeWeight, 2.0);
    EXPECT_EQ(g.WeightTable[1].Member, e);
    EXPECT_EQ(g.WeightTable[1].CumulativeWeight, 5.0);
    EXPECT_FALSE(a->Disabled) << "entered before the higher rank: flag kept";
    EXPECT_TRUE(b->Disabled);
    EXPECT_FALSE(c->Disabled);
    EXPECT_TRUE(d->Disabled);
    EXPECT_FALSE(e->Disabled);
    for (TestActivity* m : {a, b, c, d, e})
        EXPECT_EQ(m->enabledCalls, 1) << m->Name;
}

TEST_F(GroupTest, NothingEnabledSelectsNothing) {
    BaseGroupClass g;
    g.initialize(2, "g");
    TestActivity* a = Make("a", false, 1, 1.0);
    TestActivity* b = Make("b", false, 1, 1.0);
    g.appendGroup(a);
    g.appendGroup(b);
    a->Disabled = b->Disabled = false;
    EXPECT_EQ(g.CalculateWeightDistribution(), -1.0);
    EXPECT_TRUE(a->Disabled);
    EXPECT_TRUE(b->Disabled);

    TestActivity* sentinel = Make("s", true, 1, 1.0);
    for (double u : {0.5, 0.0}) {
        g.SelectedAction = sentinel;
        Script({u});
        EXPECT_FALSE(g.SelectAction()) << "u " << u;
        EXPECT_EQ(g.SelectedAction, sentinel) << "u " << u;
    }
}

TEST_F(GroupTest, SelectionTakesTheFirstEntryAboveTheDraw) {
    // Cumulative weights 0.3 and 1.0: a point equal to an entry is not chosen.
    {
        BaseGroupClass g;
        g.initialize(2, "g");
        TestActivity* a = Make("a", true, 1, 0.3);
        TestActivity* b = Make("b", true, 1, 0.7);
        g.appendGroup(a);
        g.appendGroup(b);
        const struct {
            double u;
            TestActivity* chosen;
        } draws[] = {{0.0, a}, {0.29, a}, {0.3, b}, {0.31, b}, {0.999, b}};
        for (const auto& d : draws) {
            Script({d.u});
            ASSERT_TRUE(g.SelectAction()) << d.u;
            EXPECT_EQ(g.SelectedAction, d.chosen) << "u " << d.u;
            EXPECT_EQ(scripted.next, 1u) << "one variate per selection";
        }
    }
    // Every boundary of groups of several sizes, against a linear scan.
    for (int n : {1, 2, 3, 4, 5, 8}) {
        BaseGroupClass g;
        g.initialize(n, "g");
        std::vector<TestActivity*> acts;
        for (int i = 0; i < n; i++) {
            acts.push_back(Make("m", true, 1, 1.0));
            g.appendGroup(acts.back());
        }
        for (int j = 0; j < 2 * n; j++) {
            double u = (j / 2) / static_cast<double>(n) + (j % 2) * 0.5 / n;
            double x = static_cast<double>(n) * u;
            int expected = n - 1;
            for (int i = 0; i < n; i++)
                if (static_cast<double>(i + 1) > x) {
                    expected = i;
                    break;
                }
            Script({u});
            ASSERT_TRUE(g.SelectAction());
            EXPECT_EQ(g.SelectedAction, acts[static_cast<size_t>(expected)])
                << n << " members, u " << u;
        }
    }
}

TEST_F(GroupTest, SelectionDescendsIntoMemberGroups) {
    PostselectGroup inner;
    inner.initialize(2, "inner");
    TestActivity* b = Make("b", true, 1, 1.0);
    TestActivity* c = Make("c", true, 1, 3.0);
    inner.appendGroup(b);
    inner.appendGroup(c);
    TestActivity* a = Make("a", true, 1, 1.0);
    BaseGroupClass outer;
    outer.initialize(2, "outer");
    outer.appendGroup(a);
    outer.appendGroup(&inner);

    Script({0.75, 0.5}); // outer: x = 1.5 -> inner; inner: x = 2 -> c
    ASSERT_TRUE(outer.SelectAction());
    EXPECT_EQ(outer.SelectedAction, c);
    EXPECT_EQ(scripted.next, 2u);
    Script({0.25});
    ASSERT_TRUE(outer.SelectAction());
    EXPECT_EQ(outer.SelectedAction, a);

    // Questions then go to the selected action, and firing clears the selection.
    a->rate = 4.5;
    EXPECT_EQ(outer.Rate(), 4.5);
    EXPECT_EQ(outer.Weight(), 1.0);
    EXPECT_EQ(outer.Rank(), 1);
    EXPECT_EQ(outer.SampleDistribution(), 0.5);
    EXPECT_EQ(outer.Fire(), a);
    EXPECT_EQ(a->fired, 1);
    EXPECT_EQ(outer.SelectedAction, nullptr);
    EXPECT_EQ(outer.Fire(), nullptr);
    EXPECT_EQ(a->fired, 1);
}

// ---- Membership ----------------------------------------------------------------

TEST_F(GroupTest, AppendGroupGrowsByOne) {
    BaseGroupClass g;
    g.initialize(2, "g");
    EXPECT_EQ(g.MaxMembers, 2);
    EXPECT_EQ(g.NumMembers, 0);
    EXPECT_STREQ(g.Name, "g");
    std::vector<TestActivity*> acts;
    for (int i = 0; i < 4; i++) {
        acts.push_back(Make("m", true, 1, 1.0));
        g.appendGroup(acts.back());
        EXPECT_EQ(g.NumMembers, i + 1);
        EXPECT_EQ(g.MaxMembers, i < 2 ? 2 : i + 1) << "after member " << i;
    }
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(g.Members[i], acts[static_cast<size_t>(i)]) << i;

    BaseGroupClass fresh;
    EXPECT_EQ(fresh.MaxMembers, 0);
    fresh.appendGroup(acts[0]);
    EXPECT_EQ(fresh.MaxMembers, 1);
    EXPECT_EQ(fresh.Members[0], acts[0]);
}

TEST_F(GroupTest, MembershipEditing) {
    BaseGroupClass g;
    g.initialize(2, "g");
    TestActivity* a = Make("a", true, 1, 1.0);
    TestActivity* b = Make("b", true, 1, 1.0);
    TestActivity* c = Make("c", true, 1, 1.0);
    g.appendGroup(a);
    g.appendGroup(b);

    BaseGroupClass more;
    more.initialize(1, "more");
    more.appendGroup(c);
    g.appendMembers(&more);
    ASSERT_EQ(g.NumMembers, 3);
    EXPECT_EQ(g.MaxMembers, 3);
    EXPECT_EQ(g.Members[2], c);

    g.SelectedAction = b;
    g.replaceMember(b, c);
    EXPECT_EQ(g.SelectedAction, c);
    EXPECT_EQ(g.Members[1], c);
    EXPECT_EQ(g.Members[2], c);

    g.setMember(a, 1);
    EXPECT_EQ(g.Members[1], a);
    for (int bad : {3, 4}) {
        testing::internal::CaptureStderr();
        g.setMember(b, bad);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Array out of bounds error at Array out of bounds (BaseGroupClass::setMember()\n")
            << bad;
    }
    EXPECT_EQ(g.Members[0], a);
    EXPECT_EQ(g.Members[1], a);
    EXPECT_EQ(g.Members[2], c);

    g.enlargeArrays(6);
    EXPECT_EQ(g.MaxMembers, 6);
    EXPECT_EQ(g.NumMembers, 3);
    EXPECT_EQ(g.Members[2], c);
}

TEST_F(GroupTest, GroupNumbersReachEveryCase) {
    PostselectGroup cases;
    cases.initialize(2, "casesGroup");
    TestActivity* c1 = Make("c1", true, 1, 1.0);
    TestActivity* c2 = Make("c2", true, 1, 1.0);
    cases.appendGroup(c1);
    cases.appendGroup(c2);
    BaseGroupClass top;
    top.initialize(1, "top");
    top.appendGroup(&cases);
    top.GroupID = 9;
    top.setGroupId(4);
    EXPECT_EQ(c1->GroupID, 4);
    EXPECT_EQ(c2->GroupID, 4);
    EXPECT_EQ(top.GroupID, 9) << "the group's own number stays";
}

TEST_F(GroupTest, EnablingAsksEveryMember) {
    BaseGroupClass g;
    g.initialize(3, "g");
    TestActivity* a = Make("a", true, 1, 1.0);
    TestActivity* b = Make("b", false, 1, 1.0);
    TestActivity* c = Make("c", false, 1, 1.0);
    for (TestActivity* m : {a, b, c})
        g.appendGroup(m);
    EXPECT_TRUE(g.Enabled());
    for (TestActivity* m : {a, b, c})
        EXPECT_EQ(m->enabledCalls, 1) << m->Name;
    a->enabledNow = false;
    EXPECT_FALSE(g.Enabled());

    // a went from enabled to disabled in the last evaluation; EnablingChange
    // evaluates once more, so only a change since then counts.
    EXPECT_FALSE(g.EnablingChange());
    c->enabledNow = true;
    EXPECT_TRUE(g.EnablingChange());
    for (TestActivity* m : {a, b, c})
        EXPECT_EQ(m->enabledCalls, 4) << m->Name;

    BaseGroupClass empty;
    EXPECT_FALSE(empty.Enabled());
    EXPECT_FALSE(empty.ReactivationPredicate());
    EXPECT_FALSE(empty.ReactivationFunction());
}

TEST_F(GroupTest, PrintedActionAndEnablingState) {
    Place p("p", 4), q("q", 5);
    BaseGroupClass g;
    g.initialize(1, "g");
    g.addEnablingSV(&q);
    std::ostringstream own;
    g.printEnablingState(&own);
    EXPECT_EQ(own.str(), "q = 5\n");
    EXPECT_EQ(g.getPrintedAction(), &g);

    TestActivity* a = Make("a", true, 1, 1.0);
    a->addEnablingSV(&p);
    g.appendGroup(a);
    std::ostringstream first;
    g.printEnablingState(&first);
    EXPECT_EQ(first.str(), "p = 4\n");
    EXPECT_EQ(g.getPrintedAction(), a);
}

// ---- Printing -----------------------------------------------------------------

TEST_F(GroupTest, PrintGroupNestsMemberGroups) {
    PostselectGroup deepest;
    deepest.initialize(2, "deepest");
    deepest.appendGroup(Make("x", true, 1, 1.0));
    deepest.appendGroup(Make("y", true, 1, 1.0));
    PostselectGroup inner;
    inner.initialize(2, "inner");
    inner.appendGroup(&deepest);
    inner.appendGroup(Make("c", true, 1, 1.0));
    PostselectGroup single;
    single.initialize(1, "single");
    single.appendGroup(Make("lonely", true, 1, 1.0));
    BaseGroupClass outer;
    outer.initialize(4, "outer");
    outer.appendGroup(Make("a", true, 1, 1.0));
    outer.appendGroup(&inner);
    outer.appendGroup(&single);
    outer.appendGroup(Make("d", true, 1, 1.0));

    testing::internal::CaptureStdout();
    outer.printGroup();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "** Members of Group outer\n"
                                                      "[0] a\n"
                                                      "[1] inner\n"
                                                      "  [1.0] deepest\n"
                                                      "    [1.0.0] x\n"
                                                      "    [1.0.1] y\n"
                                                      "  [1.1] c\n"
                                                      "[2] single\n"
                                                      "[3] d\n");
}

TEST_F(GroupTest, PrintInfoListsMembersAndSelection) {
    BaseGroupClass g;
    g.initialize(2, "choice");
    TestActivity* a = Make("a", true, 1, 1.0);
    TestActivity* b = Make("b", true, 1, 1.0);
    g.appendGroup(a);
    g.appendGroup(b);
    g.SelectedAction = b;
    testing::internal::CaptureStdout();
    g.PrintInfo();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "************ Group: choice ****************\n"
              "Contains the following actions:\n"
              "  a\n"
              "  b\n"
              "Selected Action = b\n");
}

// ---- Group kinds --------------------------------------------------------------

TEST_F(GroupTest, PostselectGroupChoosesWhenFiring) {
    PostselectGroup g;
    g.initialize(2, "caseGroup");
    TestActivity* c1 = Make("c1", true, 1, 0.75);
    TestActivity* c2 = Make("c2", true, 1, 0.25);
    g.appendGroup(c1);
    g.appendGroup(c2);
    EXPECT_EQ(g.Rank(), 1);
    EXPECT_EQ(g.Weight(), 1.0);
    c1->sample = 7.0;
    c1->reactivation = true;
    EXPECT_EQ(g.SampleDistribution(), 7.0);
    EXPECT_TRUE(g.ReactivationPredicate());
    EXPECT_TRUE(g.ReactivationFunction());

    Script({0.8}); // x = 0.8 -> c2
    EXPECT_EQ(g.Fire(), c2);
    EXPECT_EQ(c2->fired, 1);
    EXPECT_EQ(g.SelectedAction, nullptr);
    Script({0.1});
    EXPECT_EQ(g.Fire(), c1);
    EXPECT_EQ(c1->fired, 1);

    c1->enabledNow = c2->enabledNow = false;
    Script({0.1});
    EXPECT_EQ(g.Fire(), nullptr);
    EXPECT_EQ(c1->fired + c2->fired, 2);

    PostselectGroup sized(2);
    EXPECT_EQ(sized.NumMembers, 2);
    EXPECT_EQ(sized.MaxMembers, 2);
    sized.setMember(c1, 0);
    sized.setMember(c2, 1);
    EXPECT_EQ(sized.Members[0], c1);
    EXPECT_EQ(sized.Members[1], c2);
}

TEST_F(GroupTest, PreselectGroupKeepsItsChoiceUntilFired) {
    PreselectGroup g;
    g.initialize(2, "pre");
    TestActivity* a = Make("a", true, 2, 1.0);
    TestActivity* b = Make("b", true, 2, 1.0);
    b->rank = 5; // a higher rank than a: always chosen while enabled
    b->sample = 3.0;
    g.appendGroup(a);
    g.appendGroup(b);
    EXPECT_TRUE(g.NeedsSelection);

    Script({0.0});
    EXPECT_TRUE(g.Enabled());
    EXPECT_FALSE(g.NeedsSelection);
    EXPECT_EQ(g.SelectedAction, b);
    EXPECT_EQ(scripted.next, 1u);
    EXPECT_EQ(g.Rank(), 5);
    EXPECT_EQ(g.SampleDistribution(), 3.0);
    EXPECT_FALSE(g.ReactivationPredicate());
    EXPECT_EQ(scripted.next, 1u) << "no new choice before firing";

    EXPECT_EQ(g.Fire(), b);
    EXPECT_TRUE(g.NeedsSelection);
    EXPECT_EQ(g.SelectedAction, b) << "the selection is kept";
    b->enabledNow = false;
    Script({0.0});
    EXPECT_EQ(g.Rank(), 2);
    EXPECT_EQ(g.SelectedAction, a);

    a->enabledNow = false;
    g.NeedsSelection = true;
    EXPECT_FALSE(g.SelectAction());
    EXPECT_TRUE(g.NeedsSelection);

    PreselectGroup sized(3);
    EXPECT_EQ(sized.MaxMembers, 3);
    EXPECT_EQ(sized.NumMembers, 0);
    EXPECT_TRUE(sized.NeedsSelection);
}

TEST_F(GroupTest, SingleGroupWrapsOneAction) {
    SingleGroup g;
    EXPECT_EQ(g.NumMembers, 1);
    EXPECT_EQ(g.WeightTable, nullptr);
    TestActivity* a = Make("a", true, 3, 0.5);
    TestActivity* other = Make("o", true, 1, 1.0);
    g.SetAction(a);
    EXPECT_EQ(g.Action, a);
    EXPECT_TRUE(g.IsAMember(a));

    EXPECT_TRUE(g.Enabled());
    EXPECT_EQ(g.CurrentlyEnabled, 1);
    EXPECT_EQ(g.PreviouslyEnabled, 0);
    EXPECT_TRUE(g.EnablingChange());
    EXPECT_EQ(a->enabledCalls, 1) << "EnablingChange does not evaluate";
    EXPECT_TRUE(g.Enabled());
    EXPECT_FALSE(g.EnablingChange());

    EXPECT_EQ(g.Weight(), 0.5);
    EXPECT_EQ(g.Rate(), 2.0);
    EXPECT_EQ(g.Rank(), 3);
    EXPECT_EQ(g.SampleDistribution(), 0.5);
    EXPECT_FALSE(g.ReactivationPredicate());
    EXPECT_EQ(g.Probability(a), 1.0);
    EXPECT_EQ(g.Probability(other), 0.0);
    EXPECT_EQ(g.Fire(), a);
    EXPECT_EQ(a->fired, 1);

    const std::string report =
        "This program has entered into an inconsistant state. Please report this bug.\n";
    a->enabledNow = false;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(g.SelectAction());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), report);
    EXPECT_EQ(g.SelectedAction, nullptr);

    a->enabledNow = true;
    a->Reactivation = true;
    g.Disabled = true;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(g.SelectAction());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), report);
    EXPECT_EQ(g.SelectedAction, a);
    EXPECT_FALSE(a->Disabled);
    EXPECT_FALSE(g.Disabled);
    EXPECT_TRUE(g.Reactivation);
    EXPECT_EQ(g.ExecutionPolicy, a->ExecutionPolicy);
}

TEST_F(GroupTest, EmptyGroupAnswersNothing) {
    EmptyGroup g;
    EXPECT_STREQ(g.Name, "ImmediateGroup");
    EXPECT_EQ(g.GroupID, 0);
    EXPECT_EQ(g.NumMembers, 0);
    TestActivity* a = Make("a", true, 1, 1.0);
    g.SetAction(a);
    EXPECT_EQ(g.NumMembers, 0);
    EXPECT_NE(g.Action, a);
    EXPECT_FALSE(g.Enabled());
    EXPECT_FALSE(g.EnablingChange());
    EXPECT_FALSE(g.ReactivationPredicate());
    EXPECT_FALSE(g.ReactivationFunction());
    EXPECT_EQ(g.Weight(), 0.0);
    EXPECT_EQ(g.Rate(), 0.0);
    EXPECT_EQ(g.SampleDistribution(), 0.0);
    EXPECT_EQ(g.Probability(a), 0.0);
    EXPECT_EQ(g.Rank(), 0);
    EXPECT_EQ(g.Fire(), nullptr);
    g.SetImpulseList(1, 2.0);
    g.CreateImpulseList(3);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(g.SelectAction());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "This program has entered into an inconsistant state. Please report this bug.\n");
    EXPECT_EQ(a->enabledCalls, 0);
    EXPECT_EQ(a->fired, 0);
}

} // namespace
