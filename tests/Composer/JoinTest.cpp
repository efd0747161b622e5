#include "Composer/Join.h"

#include "BaseClasses/BaseActionClass.h"
#include "tests/Composer/TestModels.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using testmodels::emptyRJ;
using testmodels::left_rightRJ;
using testmodels::leftSAN;
using testmodels::namedSAN;
using testmodels::nestedRJ;
using testmodels::soloSAN;

typedef std::vector<unsigned char> Bytes;

class JoinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BaseModelClass::ResetModelIdCounter();
        BaseActionClass::MaxID = 0;
    }
};

using JoinDeathTest = JoinTest;

Bytes Current(BaseModelClass& m, size_t room) {
    Bytes out(room, 0xEE); // bytes not written keep the filler
    m.CurrentState(out.data());
    return out;
}

// A join of one child without shared variables, as generated for a model whose
// composition shares nothing.
class namesRJ : public Join {
  public:
    namedSAN* child;
    explicit namesRJ(const std::vector<const char*>& names) : Join("Join", 1, 0, nullptr) {
        child = new namedSAN(names);
        Children[0] = child;
        child->DefineName("named");
        SetupActions();
        Setup();
    }
    ~namesRJ() override { delete child; }
};

class unsharedRJ : public Join {
  public:
    soloSAN* solo;
    leftSAN* left;
    unsharedRJ() : Join("Join", 2, 0, nullptr) {
        solo = new soloSAN();
        Children[0] = solo;
        solo->DefineName("solo");
        left = new leftSAN();
        Children[1] = left;
        left->DefineName("left");
        SetupActions();
        Setup();
    }
    ~unsharedRJ() override {
        delete solo;
        delete left;
    }
};

TEST_F(JoinTest, StateIsChildrenThenStoredSharedPlaces) {
    left_rightRJ j;
    EXPECT_EQ(4, j.NumStateVariables) << "3 + 2 - 2 + 1";
    EXPECT_EQ(1, j.NumSharedStateVariables);
    EXPECT_EQ(8, j.StateSize());
    EXPECT_EQ(8, j.TotalStateSize);
    EXPECT_EQ(2, j.SharedStateSize());
    EXPECT_EQ(4, j.ChildStateSizes[0]);
    EXPECT_EQ(2, j.ChildStateSizes[1]);
    // left x, left y, right z, then the join's s; the shared cell took the marking
    // of the last child shared into it (left 0, right 1).
    EXPECT_EQ((Bytes{11, 0, 12, 0, 13, 0, 1, 0, 0xEE}), Current(j, 9));
    EXPECT_EQ(1, j.left->s->getMark());
    EXPECT_EQ(1, j.right->s->getMark());
    EXPECT_TRUE(j.s->stored);
    EXPECT_TRUE(j.s->shared);
    EXPECT_FALSE(j.left->s->stored);
    EXPECT_FALSE(j.right->s->stored);
    EXPECT_EQ(2, j.GetModelType());
    EXPECT_EQ(2, j.GetNumberOfChildren());
    EXPECT_EQ(j.left, j.GetChild(0));
    EXPECT_EQ(j.right, j.GetChild(1));
}

TEST_F(JoinTest, SetStateHandsEachChildItsSliceAndSetsTheSharedCell) {
    left_rightRJ j;
    Bytes in{1, 0, 2, 0, 3, 0, 0, 1};
    j.SetState(in.data());
    EXPECT_EQ(1, j.left->x->getMark());
    EXPECT_EQ(2, j.left->y->getMark());
    EXPECT_EQ(3, j.right->z->getMark());
    EXPECT_EQ(256, j.s->getMark());
    EXPECT_EQ(256, j.left->s->getMark());
    EXPECT_EQ(256, j.right->s->getMark());
    EXPECT_EQ(in, Current(j, 8));
}

TEST_F(JoinTest, FiringInOneChildIsSeenByTheOther) {
    left_rightRJ j;
    Bytes in{1, 0, 0, 0, 0, 0, 0, 0};
    j.SetState(in.data());
    EXPECT_FALSE(j.right->v_case1.Enabled());
    ASSERT_TRUE(j.left->t1.Enabled());
    j.left->t1.Fire();
    EXPECT_TRUE(j.right->v_case1.Enabled());
    EXPECT_EQ((Bytes{0, 0, 0, 0, 0, 0, 1, 0}), Current(j, 8));
}

TEST_F(JoinTest, CompareStateCoversTheWholeComposedState) {
    left_rightRJ j;
    struct Case {
        Bytes a, b;
        bool equal;
    } cases[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 0}, true},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 0, 9}, false}, // shared part
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 0, 7, 8, 9}, false}, // second child
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++)
        EXPECT_EQ(cases[i].equal, j.CompareState(cases[i].a.data(), cases[i].b.data()))
            << "case " << i;
}

TEST_F(JoinTest, GroupsAreRenumberedOverTheWholeModel) {
    left_rightRJ j;
    BaseActionClass* actions[] = {&j.left->t1,       &j.left->u_case1,  &j.left->u_case2,
                                  &j.right->v_case1, &j.right->v_case2, &j.right->w};
    const int groups[] = {0, 1, 1, 2, 2, 3};
    ASSERT_EQ(6, j.NumActions);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(actions[i], j.Actions[i]) << "action " << i;
        EXPECT_EQ(groups[i], actions[i]->GroupID) << actions[i]->Name;
    }
    ASSERT_EQ(4, j.NumGroups);
    BaseGroupClass* expected[] = {&j.left->t1, &j.left->uGroup, &j.right->vGroup, &j.right->w};
    for (int g = 0; g < 4; g++)
        EXPECT_EQ(expected[g], j.Groups[g]) << "group " << g;

    List<BaseGroupClass> listed;
    j.listGroups(&listed);
    j.listGroups(&listed);
    EXPECT_EQ(4, listed.getNumItems()) << "duplicates skipped";
    List<BaseActionClass> all;
    j.listActions(&all);
    EXPECT_EQ(6, all.getNumItems());
}

TEST_F(JoinTest, AnUncomposedModelKeepsItsOwnGroupNumbers) {
    testmodels::rightSAN r;
    EXPECT_EQ(0, r.v_case1.GroupID);
    EXPECT_EQ(0, r.v_case2.GroupID);
    EXPECT_EQ(1, r.w.GroupID);
}

TEST_F(JoinTest, SharedVariableLookups) {
    left_rightRJ j;
    EXPECT_EQ(j.s, j.GetSharedStateVariables()[0]);
    EXPECT_EQ(j.s, j.getMainSharedVariable(j.left->s));
    EXPECT_EQ(j.s, j.getMainSharedVariable(j.right->s));
    EXPECT_EQ(nullptr, j.getMainSharedVariable(j.left->x));
    EXPECT_EQ(nullptr, j.getMainSharedVariable(j.right->z));

    SharedStateVarLink* chain = j.getListOfSharedVariables(j.s);
    ASSERT_NE(nullptr, chain);
    EXPECT_EQ(j.left->s, chain->StateVar);
    EXPECT_EQ(j.left, chain->Model);
    ASSERT_NE(nullptr, chain->Next);
    EXPECT_EQ(j.right->s, chain->Next->StateVar);
    EXPECT_EQ(j.right, chain->Next->Model);
    EXPECT_EQ(nullptr, chain->Next->Next);
    EXPECT_EQ(nullptr, j.getListOfSharedVariables(j.left->s));

    ASSERT_EQ(2, j.SharedWith[0]->getNumItems());
    EXPECT_EQ(j.left->s, j.SharedWith[0]->getItem(0));
    EXPECT_EQ(j.right->s, j.SharedWith[0]->getItem(1));
}

TEST_F(JoinTest, NestedJoinSharesAtEveryDepth) {
    nestedRJ outer;
    left_rightRJ& inner = *outer.inner;
    EXPECT_EQ(5, outer.NumStateVariables) << "4 + 2 - 2 + 1";
    EXPECT_EQ(10, outer.StateSize());
    // The third model's marking (5) was shared last; the inner join's place is now
    // merged into the outer one and leaves the inner part.
    EXPECT_EQ((Bytes{11, 0, 12, 0, 13, 0, 21, 0, 5, 0, 0xEE}), Current(outer, 11));
    for (Place* p : {inner.s, inner.left->s, inner.right->s, outer.third->s})
        EXPECT_EQ(5, p->getMark()) << p->name;

    SharedStateVarLink* chain = outer.getListOfSharedVariables(outer.s);
    std::vector<BaseStateVariableClass*> vars;
    std::vector<BaseModelClass*> models;
    for (SharedStateVarLink* l = chain; l != nullptr && vars.size() < 10; l = l->Next) {
        vars.push_back(l->StateVar);
        models.push_back(l->Model);
    }
    EXPECT_EQ((std::vector<BaseStateVariableClass*>{inner.s, inner.left->s, inner.right->s,
                                                    outer.third->s}),
              vars);
    EXPECT_EQ((std::vector<BaseModelClass*>{&inner, inner.left, inner.right, outer.third}), models);

    for (BaseStateVariableClass* v : {static_cast<BaseStateVariableClass*>(inner.s),
                                      static_cast<BaseStateVariableClass*>(inner.left->s),
                                      static_cast<BaseStateVariableClass*>(inner.right->s),
                                      static_cast<BaseStateVariableClass*>(outer.third->s)})
        EXPECT_EQ(outer.s, outer.getMainSharedVariable(v)) << "model of " << v->name;
    EXPECT_EQ(nullptr, outer.getMainSharedVariable(inner.left->y));
    EXPECT_EQ(inner.s, inner.getMainSharedVariable(inner.left->s));
    // A variable the outer join does not hold itself is answered by its children.
    EXPECT_EQ(inner.getListOfSharedVariables(inner.s), outer.getListOfSharedVariables(inner.s));
    EXPECT_EQ(nullptr, outer.getListOfSharedVariables(outer.third->q));

    EXPECT_EQ(4, outer.third->k.GroupID) << "groups renumbered across both levels";
}

TEST_F(JoinTest, JoinOfEmptyChildrenHasNoSharedVariable) {
    emptyRJ j;
    EXPECT_TRUE(j.AllChildrenEmpty());
    EXPECT_EQ(nullptr, j.s);
    EXPECT_EQ(0, j.NumSharedStateVariables);
    EXPECT_EQ(0, j.NumStateVariables);
    EXPECT_EQ(0, j.StateSize());
    EXPECT_EQ(0, j.SharedStateSize());
    EXPECT_FALSE(j.HasLocalState());
    EXPECT_EQ((Bytes{0xEE, 0xEE}), Current(j, 2));
}

TEST_F(JoinTest, JoinWithoutSharingConcatenatesChildren) {
    unsharedRJ j;
    EXPECT_FALSE(j.AllChildrenEmpty());
    EXPECT_EQ(4, j.NumStateVariables);
    EXPECT_EQ((Bytes{4, 0, 11, 0, 0, 0, 12, 0, 0xEE}), Current(j, 9));
    EXPECT_FALSE(j.HasLocalState());

    Join childless("Join", 0, 1, testmodels::left_rightRJ__SharedNames);
    EXPECT_EQ(0, childless.NumSharedStateVariables) << "nothing to share without children";
    EXPECT_TRUE(childless.AllChildrenEmpty());
}

TEST_F(JoinTest, LocalStateIsTheSharedPart) {
    left_rightRJ j;
    EXPECT_TRUE(j.HasLocalState());
    State* s = nullptr;
    j.ConstructLocalState(s);
    ASSERT_NE(nullptr, s);
    Join::LocalState* local = static_cast<Join::LocalState*>(s);
    EXPECT_EQ(2, local->size);
    j.GetLocalState(s);
    EXPECT_EQ((Bytes{1, 0}), Bytes(local->data, local->data + 2));
    EXPECT_EQ(2u, s->hash());

    j.s->setMark(7);
    j.SetLocalState(s);
    EXPECT_EQ(1, j.left->s->getMark());

    State* other = nullptr;
    j.ConstructLocalState(other);
    j.GetLocalState(other);
    EXPECT_EQ(0, s->compare(*other));
    j.s->setMark(0x80);
    j.GetLocalState(other);
    EXPECT_EQ(-1, s->compare(*other)) << "0x01 against 0x80, unsigned";
    *s = *other;
    EXPECT_EQ(0, s->compare(*other));

    j.DestructLocalState(other);
    j.DestructLocalState(s);
}

TEST_F(JoinTest, HashFoldsSignedCharacters) {
    struct Case {
        const char* s;
        int n;
        unsigned int expected;
    } cases[] = {
        {"ab", 100, 2u},
        {"", 1, 0u},
        {"", 7, 0u},
        {"", 100, 0u},
        {"a", 8, 1u},
        {"b", 8, 2u},
        {"\xff", 1000, 295u},
        {"\xff\x80", 1000, 136u},
        {"abcdefgh", 1000, 136u},
        {"abcdefgh", 97, 54u},
    };
    for (Case& c : cases)
        EXPECT_EQ(c.expected, BaseComposerClass::Hash(c.s, c.n)) << '"' << c.s << "\" " << c.n;
}

std::vector<std::string> Slots(const Join& j) {
    std::vector<std::string> out;
    for (int i = 0; i < j.ActionNameTableSize; i++)
        out.push_back(j.ActionNames[i] == nullptr ? std::string("-")
                                                  : std::string(j.ActionNames[i]) + ":" +
                                                        std::to_string(j.ActionNameCounts[i]));
    return out;
}

TEST_F(JoinTest, ActionNameTableCountsEqualNames) {
    namesRJ j({"a", "b", "a"});
    ASSERT_EQ(8, j.ActionNameTableSize);
    EXPECT_EQ((std::vector<std::string>{"-", "a:2", "b:1", "-", "-", "-", "-", "-"}), Slots(j));
}

TEST_F(JoinTest, ActionNameTableProbesAlternatelyWithWrappingDifferences) {
    // Table of 20 slots: e, f, d and i take slots 1, 2, 0 and 5, which are y's first
    // four probes (h, h+1, h-1, h+4 with h = 1). The fifth, h-4, wraps around 2^32
    // before the reduction: (2^32 - 3) mod 20 = 13, not 17.
    namesRJ j({"e", "f", "d", "i", "y"});
    ASSERT_EQ(20, j.ActionNameTableSize);
    std::vector<std::string> expected(20, "-");
    expected[0] = "d:1";
    expected[1] = "e:1";
    expected[2] = "f:1";
    expected[5] = "i:1";
    expected[13] = "y:1";
    EXPECT_EQ(expected, Slots(j));

    // After a collision the plus step comes first: "i" also hashes to slot 1 of 8.
    namesRJ pair({"a", "i"});
    EXPECT_EQ((std::vector<std::string>{"-", "a:1", "i:1", "-", "-", "-", "-", "-"}), Slots(pair));

    namesRJ none({});
    EXPECT_EQ(0, none.ActionNameTableSize);
}

TEST_F(JoinTest, ListingsAskTheChildren) {
    left_rightRJ j;
    struct Case {
        const char* model;
        const char* var;
        BaseStateVariableClass* var0;
        BaseModelClass* model0;
    } cases[] = {
        {"left", "s", j.left->s, j.left},
        {"right", "z", j.right->z, j.right},
        {"Join", "s", nullptr, nullptr}, // the composer itself is not searched
    };
    for (Case& c : cases) {
        List<BaseStateVariableClass> vars;
        List<BaseModelClass> models;
        j.listSVs(c.model, c.var, &vars, &models);
        if (c.var0 == nullptr) {
            EXPECT_EQ(0, vars.getNumItems()) << c.model;
            continue;
        }
        ASSERT_EQ(1, vars.getNumItems()) << c.model;
        EXPECT_EQ(c.var0, vars.getItem(0)) << c.model;
        ASSERT_EQ(1, models.getNumItems()) << c.model;
        EXPECT_EQ(c.model0, models.getItem(0)) << c.model;
    }

    List<BaseModelClass> found;
    j.listModels("right", &found);
    ASSERT_EQ(1, found.getNumItems());
    EXPECT_EQ(j.right, found.getItem(0));

    List<BaseActionClass> named;
    j.listActions("w", &named);
    ASSERT_EQ(1, named.getNumItems());
    EXPECT_EQ(&j.right->w, named.getItem(0));
}

TEST_F(JoinTest, PrintStateShowsChildrenThenSharedVariables) {
    left_rightRJ j;
    std::ostringstream out;
    j.printState(&out);
    EXPECT_EQ("Model: (1)Join\n"
              "Model: (2)left\n  x = 11\n  s = 1\n  y = 12\n"
              "Model: (3)right\n  s = 1\n  z = 13\n"
              "Shared Variables:\n  s = 1\n",
              out.str());
}

TEST_F(JoinTest, PrintAllSharedVariablesListsTheChain) {
    left_rightRJ j;
    std::ostringstream expected;
    expected << "Shared Variables for composer node Join\n"
             << "  Shared Variable 0 has name s and address " << static_cast<void*>(j.s) << "\n"
             << "    And here is its list of equivalent variables:\n"
             << "      This link holds state var s at address " << static_cast<void*>(j.left->s)
             << "\n"
             << "      This link holds state var s at address " << static_cast<void*>(j.right->s)
             << "\n"
             << "\n";
    testing::internal::CaptureStdout();
    j.printAllSharedVariables();
    EXPECT_EQ(expected.str(), testing::internal::GetCapturedStdout());
}

TEST_F(JoinTest, LinkChainOperations) {
    soloSAN m;
    Place other("other");
    SharedStateVarLink* head = new SharedStateVarLink(m.s, &m);
    EXPECT_TRUE(head->hasStateVar(m.s));
    EXPECT_FALSE(head->hasStateVar(&other));
    SharedStateVarLink* tail = new SharedStateVarLink(&other);
    EXPECT_EQ(nullptr, tail->Model);
    head->addStateVarLink(tail);
    EXPECT_EQ(tail, head->Next);
    EXPECT_TRUE(head->hasStateVar(&other));
    EXPECT_FALSE(tail->hasStateVar(m.s)) << "only this link and later ones count";
    SharedStateVarLink* last = new SharedStateVarLink();
    head->addStateVarLink(last);
    EXPECT_EQ(last, tail->Next);
    SharedStateVarLink::clearStateVarList(head);
}

TEST_F(JoinDeathTest, GetChildBeyondTheLastIsAProgrammingError) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out";
#endif
    left_rightRJ j;
    EXPECT_DEATH(j.GetChild(j.NumChildren), HasSubstr("i < GetNumberOfChildren()"));
}

TEST_F(JoinDeathTest, SharedVariablesMustBeRegisteredInNameOrder) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out";
#endif
    Place p("s");
    Join wrongName("Join", 1, 1, testmodels::left_rightRJ__SharedNames);
    EXPECT_DEATH(wrongName.addSharedPtr(&p, "t"),
                 HasSubstr("0 == strcmp(VarName, SharedStateNames[AddedSharedPtrs])"));

    Join tooMany("Join", 1, 1, testmodels::left_rightRJ__SharedNames);
    tooMany.addSharedPtr(&p, "s");
    EXPECT_DEATH(tooMany.addSharedPtr(&p, "s"),
                 HasSubstr("AddedSharedPtrs < NumSharedStateVariables"));

    Place unknown("s");
    EXPECT_DEATH(tooMany.addSharingInfo(&p, &unknown, nullptr), HasSubstr("VarIndex != -1"));
}

TEST_F(JoinDeathTest, ActionSplittingIsNotSupported) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out";
#endif
    left_rightRJ j;
    slist out;
    EXPECT_DEATH(j.GetLocalActions(out), HasSubstr("false"));
    EXPECT_DEATH(j.GetGlobalActions(out), HasSubstr("false"));
}

} // namespace
