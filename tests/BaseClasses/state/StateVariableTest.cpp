#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/state/ElementCopy.h"
#include "BaseClasses/state/Place.h"
#include "BaseClasses/state/StructStateVariable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

std::string Printed(BaseStateVariableClass& v) {
    std::ostringstream s;
    v.printState(&s);
    return s.str();
}

std::vector<BaseActionClass*> Contents(const List<BaseActionClass>* l) {
    return std::vector<BaseActionClass*>(l->getList(), l->getList() + l->getNumItems());
}

// Checks everything that makes `members` one equivalence class held by `main`.
void ExpectOneClass(const std::vector<Place*>& members, Place* main, short value) {
    EXPECT_TRUE(main->getStored());
    EXPECT_TRUE(main->getShared());
    EXPECT_NE(main->getHead(), nullptr);
    for (Place* p : members) {
        SCOPED_TRACE(p->getName());
        EXPECT_EQ(p->Value, main->Value);
        EXPECT_EQ(p->Mark, main->Value);
        EXPECT_EQ(p->getMark(), value);
        EXPECT_EQ(p->MainSV, main);
        EXPECT_TRUE(p->getShared());
        EXPECT_EQ(p->getAffectingActions(), main->getAffectingActions());
        EXPECT_EQ(p->getEnabledActions(), main->getEnabledActions());
        if (p != main) {
            EXPECT_FALSE(p->getStored());
            EXPECT_EQ(p->getHead(), nullptr);
        }
    }
}

int CountReferences(Place& p) {
    int n = 0;
    for (SVReference<short>* r = p.getHead(); r != nullptr; r = r->Next)
        n++;
    return n;
}

class StateVariableTest : public ::testing::Test {
  protected:
    void SetUp() override { BaseActionClass::MaxID = 0; }
};

TEST_F(StateVariableTest, NewPlaceHoldsItsMarking) {
    Place p("p", 3);
    EXPECT_STREQ(p.getName(), "p");
    EXPECT_EQ(p.getSharingCount(), 2);
    EXPECT_EQ(CountReferences(p), 2);
    EXPECT_TRUE(p.getStored());
    EXPECT_FALSE(p.getShared());
    EXPECT_FALSE(p.getFunctionallyShared());
    EXPECT_EQ(p.MainSV, &p);
    EXPECT_EQ(p.Mark, p.Value);
    EXPECT_EQ(p.StateSize(), 2);

    unsigned char bytes[3] = {0xAA, 0xAA, 0xAA};
    p.CurrentState(bytes);
    EXPECT_EQ(bytes[0], 0x03);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0xAA) << "wrote beyond its two bytes";

    EXPECT_EQ(Printed(p), "p = 3\n");
    std::ostringstream val;
    p.printStateVal(&val);
    EXPECT_EQ(val.str(), "3");

    // A cached pointer as an activity registers it.
    short* cache = p.Value;
    p.addReference(&cache, nullptr);
    EXPECT_EQ(p.getSharingCount(), 3);
    EXPECT_EQ(p.getHead()->Where, &cache);
    EXPECT_EQ(p.getHead()->getOwner(), nullptr);
}

TEST_F(StateVariableTest, ConstructorsAndMarkingAccess) {
    Place unnamed;
    EXPECT_STREQ(unnamed.getName(), "default");
    EXPECT_STREQ(unnamed.prefix, "");
    EXPECT_EQ(unnamed.getMark(), 0);
    Place named("q");
    EXPECT_STREQ(named.getName(), "q");
    EXPECT_EQ(named.getMark(), 0);

    named.setMark(-2);
    EXPECT_EQ(*named.Value, -2);
    unsigned char bytes[2] = {0x34, 0x12};
    named.SetState(bytes);
    EXPECT_EQ(named.getMark(), 0x1234);
    named.CurrentState(bytes);
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
}

TEST_F(StateVariableTest, NamesAreOwnedCopies) {
    char name[] = "alpha";
    char prefix[] = "pre";
    SharableSV<short> v(name, prefix);
    name[0] = 'X';
    prefix[0] = 'X';
    EXPECT_STREQ(v.getName(), "alpha");
    EXPECT_STREQ(v.prefix, "pre");
    v.SetName("beta");
    v.SetPrefix("post");
    EXPECT_STREQ(v.getName(), "beta");
    EXPECT_STREQ(v.prefix, "post");
    EXPECT_EQ(v.getSharingCount(), 1);
    EXPECT_EQ(*v.Value, 0);
}

TEST_F(StateVariableTest, SharingTwoFreshPlaces) {
    Place x("x", 0);
    Place y("y", 5);
    short* cacheY = y.Value;
    y.addReference(&cacheY, nullptr);

    x.ShareWith(&y);
    ExpectOneClass({&x, &y}, &x, 5);
    EXPECT_EQ(x.getSharingCount(), 5);
    EXPECT_EQ(CountReferences(x), 5);
    EXPECT_EQ(cacheY, x.Value);

    *y.Mark = 7;
    EXPECT_EQ(x.getMark(), 7);
    *cacheY = 8;
    EXPECT_EQ(x.getMark(), 8);
}

TEST_F(StateVariableTest, ThirdPlaceGivesTheClassItsValue) {
    // A fresh place shared with one place after the other ends with the last one's
    // marking, as a composed model does with its children's places.
    Place x("x", 0);
    Place y("y", 5);
    Place z("z", 2);
    x.ShareWith(&y);
    x.ShareWith(&z);
    ExpectOneClass({&x, &y, &z}, &x, 2);
    EXPECT_EQ(x.getSharingCount(), 6);
    EXPECT_EQ(CountReferences(x), 6);
}

TEST_F(StateVariableTest, SharingMergesActionListsIntoOneObject) {
    Place x("x", 0);
    Place y("y", 1);
    BaseActionClass a1, a2, a3, both;
    x.appendAffectingAction(&a1);
    a1.addAffectedSV(&x);
    y.appendAffectingAction(&a2);
    a2.addAffectedSV(&y);
    y.appendAffectingAction(&a1); // already held by x: kept once
    x.appendAffectingAction(&both);
    y.appendAffectingAction(&both);
    both.addAffectedSV(&x);
    both.addAffectedSV(&y);
    y.appendEnabledAction(&a3);
    a3.addEnablingSV(&y);

    x.ShareWith(&y);
    EXPECT_EQ(x.getAffectingActions(), y.getAffectingActions());
    EXPECT_EQ(Contents(x.getAffectingActions()), (std::vector<BaseActionClass*>{&a1, &both, &a2}));
    EXPECT_EQ(Contents(y.getEnabledActions()), (std::vector<BaseActionClass*>{&a3}));

    // The actions now name the class by its main variable.
    EXPECT_TRUE(a2.AffectedSVs.contains(&x));
    EXPECT_FALSE(a2.AffectedSVs.contains(&y));
    EXPECT_TRUE(a3.EnablingSVs.contains(&x));
    EXPECT_FALSE(a3.EnablingSVs.contains(&y));
    EXPECT_EQ(both.AffectedSVs.getNumItems(), 1) << "an action naming both keeps one";
    EXPECT_TRUE(both.AffectedSVs.contains(&x));

    // An arc added to the class afterwards reaches every member.
    BaseActionClass later;
    x.appendAffectingAction(&later);
    EXPECT_TRUE(y.getAffectingActions()->contains(&later));
}

// The four combinations of the `stored` flags. Classes {x, y} (main x) and {u, v}
// (main u) exist beforehand; w is an unshared place.
struct ShareCase {
    const char* what;
    int cachesOnV; // cached pointers registered on v before it joins u
    char caller;   // the variable ShareWith is called on
    char other;    // its argument
    char main;     // the main variable afterwards
    short value;   // the class's value afterwards
    int mainCount; // the main variable's sharingCount afterwards
};

class StateVariableShareTest : public StateVariableTest,
                               public ::testing::WithParamInterface<ShareCase> {};

TEST_P(StateVariableShareTest, MergesClasses) {
    const ShareCase& c = GetParam();
    Place x("x", 1), y("y", 2), u("u", 3), v("v", 4), w("w", 9);
    std::vector<short*> caches(static_cast<size_t>(c.cachesOnV) + 1);
    for (int i = 0; i < c.cachesOnV; i++) {
        caches[static_cast<size_t>(i)] = v.Value;
        v.addReference(&caches[static_cast<size_t>(i)], nullptr);
    }
    short* cacheW = w.Value;
    w.addReference(&cacheW, nullptr);
    BaseActionClass ax, ay, au, av, aw;
    Place* places[] = {&x, &y, &u, &v, &w};
    BaseActionClass* actions[] = {&ax, &ay, &au, &av, &aw};
    for (int i = 0; i < 5; i++) {
        places[i]->appendAffectingAction(actions[i]);
        actions[i]->addAffectedSV(places[i]);
    }
    x.ShareWith(&y);
    u.ShareWith(&v);
    ASSERT_EQ(x.getSharingCount(), 4);
    ASSERT_EQ(u.getSharingCount(), 4 + c.cachesOnV);

    auto byName = [&](char n) -> Place* {
        switch (n) {
        case 'x':
            return &x;
        case 'y':
            return &y;
        case 'u':
            return &u;
        case 'v':
            return &v;
        default:
            return &w;
        }
    };
    byName(c.caller)->ShareWith(byName(c.other));

    bool withW = c.caller == 'w' || c.other == 'w';
    std::vector<Place*> members = {&x, &y};
    if (withW) {
        members.push_back(&w);
    } else {
        members.push_back(&u);
        members.push_back(&v);
    }
    Place* main = byName(c.main);
    ExpectOneClass(members, main, c.value);
    EXPECT_EQ(main->getSharingCount(), c.mainCount);
    for (int i = 0; i < c.cachesOnV; i++)
        EXPECT_EQ(caches[static_cast<size_t>(i)], main->Value) << "cache " << i;
    if (withW) {
        EXPECT_EQ(cacheW, main->Value);
    }

    // One list object holding every action of the merged classes.
    List<BaseActionClass>* affecting = main->getAffectingActions();
    for (Place* p : members) {
        for (int i = 0; i < 5; i++) {
            if (places[i] == p) {
                EXPECT_TRUE(affecting->contains(actions[i])) << p->getName();
            }
        }
    }
    EXPECT_EQ(affecting->getNumItems(), static_cast<int>(members.size()));
}

INSTANTIATE_TEST_SUITE_P(
    AllFlagCombinations, StateVariableShareTest,
    ::testing::Values(
        // not stored / stored: w joins y's class, which keeps its value
        ShareCase{"member with unshared", 0, 'y', 'w', 'x', 2, 7},
        // stored / not stored: w joins the class of y
        ShareCase{"unshared with member", 0, 'w', 'y', 'x', 2, 7},
        // both members: v's own count 2 <= x's 4, so v's main joins x's class
        ShareCase{"member v into class of y", 0, 'v', 'y', 'x', 2, 8},
        // both members: y's own count 2 <= u's 4, so y's main joins u's class
        ShareCase{"member y into class of v", 0, 'y', 'v', 'u', 4, 8},
        // both members: equal counts (4 and 4) still move v's main into x's class
        ShareCase{"equal counts", 2, 'v', 'y', 'x', 2, 10},
        // both members: v's own count 5 > x's 4, so x's main joins v's class
        ShareCase{"heavier member keeps its class", 3, 'v', 'y', 'u', 4, 11}),
    [](const ::testing::TestParamInfo<ShareCase>& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (ch == ' ')
                ch = '_';
        return n;
    });

TEST_F(StateVariableTest, ArcOnMergedMemberIsIgnored) {
    Place x("x", 0);
    Place y("y", 0);
    x.ShareWith(&y);
    BaseActionClass a;
    y.appendAffectingAction(&a);
    EXPECT_EQ(x.getNumAffectingActions(), 0);
    EXPECT_EQ(y.getNumAffectingActions(), 0);
    y.appendEnabledAction(&a); // the enabled list has no such rule
    EXPECT_EQ(x.getNumEnabledActions(), 1);
}

TEST_F(StateVariableTest, ActionListAccessAndBounds) {
    Place p("p", 0);
    BaseActionClass a, b;
    p.appendEnabledAction(&a);
    p.appendEnabledAction(&b);
    p.appendEnabledAction(&a);
    p.appendAffectingAction(&b);
    EXPECT_EQ(p.getNumEnabledActions(), 2);
    EXPECT_EQ(p.getEnabledAction(0), &a);
    EXPECT_EQ(p.getEnabledAction(1), &b);
    EXPECT_EQ(p.getAffectingAction(0), &b);

    struct Case {
        bool enabled;
        int index;
        const char* text;
    } cases[] = {
        {true, 2,
         "!! BaseStateVariableClass::getEnabledAction(int):  EnabledAction index out of bounds\n"},
        {true, 7,
         "!! BaseStateVariableClass::getEnabledAction(int):  EnabledAction index out of bounds\n"},
        {false, 1,
         "!! BaseStateVariableClass::getAffectingAction(int):  AffectingAction index out "
         "of bounds\n"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        BaseActionClass* got =
            c.enabled ? p.getEnabledAction(c.index) : p.getAffectingAction(c.index);
        EXPECT_EQ(got, nullptr) << c.index;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.text) << c.index;
    }

    p.replaceEnabledAction(&a, &b);
    EXPECT_EQ(Contents(p.getEnabledActions()), (std::vector<BaseActionClass*>{&b}));
    p.removeEnabledAction(&b);
    EXPECT_EQ(p.getNumEnabledActions(), 0);
    p.replaceAffectingAction(&b, &a);
    EXPECT_EQ(p.getAffectingAction(0), &a);
    p.removeAffectingAction(&a);
    EXPECT_EQ(p.getNumAffectingActions(), 0);

    List<BaseActionClass> more;
    more.append(&a);
    more.append(&b);
    p.copyAffectingActions(&more);
    p.copyAffectingActions(&more);
    p.copyEnabledActions(&more);
    EXPECT_EQ(Contents(p.getAffectingActions()), (std::vector<BaseActionClass*>{&a, &b}));
    EXPECT_EQ(Contents(p.getEnabledActions()), (std::vector<BaseActionClass*>{&a, &b}));
}

TEST_F(StateVariableTest, PrintsActionLists) {
    Place p("p", 0);
    testing::internal::CaptureStdout();
    p.printAffectingActions();
    p.printEnabledActions();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Affecting actions for p:\nNo items in the list\n"
              "Enabled actions for p:\nNo items in the list\n");

    BaseActionClass a;
    p.appendEnabledAction(&a);
    testing::internal::CaptureStdout();
    p.printEnabledActions();
    std::ostringstream expected;
    expected << "Enabled actions for p:\n[0] " << static_cast<const void*>(&a) << "\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected.str());

    testing::internal::CaptureStdout();
    p.printState();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "p = 0\n");
}

TEST_F(StateVariableTest, LeafNodesAndSelfRegistration) {
    Place p("p", 0);
    EXPECT_TRUE(p.isLeafNode());
    EXPECT_EQ(p.getNumLeafNodes(), 1);
    List<BaseStateVariableClass>* leaves = p.getLeafNodes();
    ASSERT_EQ(leaves->getNumItems(), 1);
    EXPECT_EQ(leaves->getItem(0), &p);
    delete leaves;

    BaseActionClass a;
    p.addSelfAsEnablingSVToAction(&a);
    p.addSelfAsAffectedSVToAction(&a);
    EXPECT_TRUE(a.EnablingSVs.contains(&p));
    EXPECT_TRUE(a.AffectedSVs.contains(&p));
    p.removeSelfFromEnablingSVOfAction(&a);
    p.removeSelfFromAffectedSVOfAction(&a);
    EXPECT_EQ(a.EnablingSVs.getNumItems(), 0);
    EXPECT_EQ(a.AffectedSVs.getNumItems(), 0);
}

TEST_F(StateVariableTest, ShareGoesThroughTheVirtualEntry) {
    Place x("x", 0);
    Place y("y", 6);
    BaseStateVariableClass* asBase = &y;
    x.share(asBase);
    ExpectOneClass({&x, &y}, &x, 6);
}

#ifndef NDEBUG
TEST(StateVariableDeathTest, ShareWithAnotherKindFailsItsAssertion) {
    EXPECT_DEATH(
        {
            Place x("x", 0);
            SharableSV<int> other("other", "");
            x.share(&other);
        },
        HasSubstr("otherSV"));
    EXPECT_DEATH(
        {
            Place x("x", 0);
            BaseStructStateVariable s("s", "");
            x.share(&s);
        },
        HasSubstr("otherSV"));
}
#endif

TEST(ElementCopyTest, RoundTripsThroughUnalignedBuffers) {
    unsigned char buffer[1 + 3 * sizeof(double)] = {};
    void* at = buffer + 1; // deliberately misaligned

    short shorts[3] = {1, -2, 0x1234};
    writeArray(shorts, at, 3);
    EXPECT_EQ(buffer[1], 0x01);
    EXPECT_EQ(buffer[2], 0x00);
    EXPECT_EQ(buffer[5], 0x34);
    EXPECT_EQ(buffer[6], 0x12);
    short back[3] = {};
    readArray(back, at, 3);
    EXPECT_EQ(std::memcmp(back, shorts, sizeof shorts), 0);

    double d = -2.5;
    writeMemory(d, at);
    double e = 0;
    readMemory2(at, &e);
    EXPECT_EQ(e, -2.5);
    EXPECT_EQ(buffer[0], 0) << "wrote before the buffer position";

    bool flag = true;
    char ch = 'q';
    int i = -7;
    float f = 1.5f;
    writeMemory(flag, at);
    bool flagBack = false;
    readMemory2(at, &flagBack);
    EXPECT_TRUE(flagBack);
    writeMemory(ch, at);
    char chBack = 0;
    readMemory2(at, &chBack);
    EXPECT_EQ(chBack, 'q');
    writeMemory(i, at);
    int iBack = 0;
    readMemory2(at, &iBack);
    EXPECT_EQ(iBack, -7);
    writeMemory(f, at);
    float fBack = 0;
    readMemory2(at, &fBack);
    EXPECT_EQ(fBack, 1.5f);
}

} // namespace
