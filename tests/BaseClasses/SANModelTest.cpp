#include "BaseClasses/SANModel.h"

#include "BaseClasses/BaseActionClass.h"
#include "tests/Composer/TestModels.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using testmodels::abSAN;
using testmodels::emptySAN;
using testmodels::left_rightRJ;
using testmodels::leftSAN;
using testmodels::soloSAN;

typedef std::vector<unsigned char> Bytes;

class SANModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BaseModelClass::ResetModelIdCounter();
        BaseActionClass::MaxID = 0;
    }
};

using SANModelDeathTest = SANModelTest;

Bytes Current(BaseModelClass& m, size_t room) {
    // Bytes the model does not write keep the 0xEE filler, so overruns show.
    Bytes out(room, 0xEE);
    m.CurrentState(out.data());
    return out;
}

// A local state holding exactly the given bytes, whatever the model's size.
std::unique_ptr<SANModel::LocalState> RawState(SANModel& m, const Bytes& bytes) {
    auto s = std::make_unique<SANModel::LocalState>(&m);
    delete[] s->data;
    s->data = new unsigned char[bytes.size() + 1];
    if (!bytes.empty())
        std::memcpy(s->data, bytes.data(), bytes.size());
    s->size = static_cast<int>(bytes.size());
    return s;
}

std::string Hex(const Bytes& b) {
    std::ostringstream out;
    for (unsigned char c : b)
        out << std::hex << static_cast<int>(c) << ' ';
    return out.str();
}

TEST_F(SANModelTest, ModelsAreNumberedInConstructionOrder) {
    abSAN first;
    soloSAN second;
    emptySAN third;
    EXPECT_EQ(1, first.ModelId);
    EXPECT_EQ(2, second.ModelId);
    EXPECT_EQ(3, third.ModelId);
    EXPECT_EQ(first.ModelId, first.ParentId);
    EXPECT_EQ(third.ModelId, third.ParentId);
    second.SetParentId(7);
    EXPECT_EQ(7, second.ParentId);
    EXPECT_EQ(2, second.ModelId);

    BaseModelClass::ResetModelIdCounter();
    soloSAN afterReset;
    EXPECT_EQ(1, afterReset.ModelId);
}

TEST_F(SANModelTest, InitializationCopiesCountsAndArrays) {
    abSAN m;
    EXPECT_STREQ("ab", m.Name);
    EXPECT_EQ(3, m.NumStateVariables) << "places plus read-only places";
    EXPECT_EQ(3, m.getNumStateVariables());
    EXPECT_EQ(0, m.NumSharedStateVariables);
    EXPECT_EQ(1, m.NumReadOnlyPlaces);
    EXPECT_EQ(3, m.NumActions);
    EXPECT_EQ(2, m.NumGroups);
    EXPECT_EQ(m.a, m.Places[0]);
    EXPECT_EQ(m.b, m.Places[1]);
    EXPECT_EQ(m.r, m.ReadOnlyPlaces[0]);
    EXPECT_EQ(&m.grow, m.Actions[0]);
    EXPECT_EQ(&m.swap_case2, m.Actions[2]);
    EXPECT_EQ(&m.swapGroup, m.Groups[1]);
    EXPECT_EQ(m.Places, m.GetLocalStateVariables(nullptr));
    EXPECT_EQ(1, m.GetModelType());
    EXPECT_EQ(0, m.GetNumberOfChildren());

    m.DefineName("renamed");
    EXPECT_STREQ("renamed", m.Name);
}

TEST_F(SANModelTest, StructureChecksCompareEveryPointerInOrder) {
    abSAN m;
    Place* places[] = {m.a, m.b};
    Place* swapped[] = {m.b, m.a};
    BaseStateVariableClass* readOnly[] = {m.r};
    BaseStateVariableClass* wrongReadOnly[] = {m.a};
    Activity* actions[] = {&m.grow, &m.swap_case1, &m.swap_case2};
    Activity* lastWrong[] = {&m.grow, &m.swap_case1, &m.swap_case1};
    EXPECT_TRUE(checkLocalSVs(&m, places));
    EXPECT_FALSE(checkLocalSVs(&m, swapped));
    EXPECT_TRUE(checkReadOnlyPlaces(&m, readOnly));
    EXPECT_FALSE(checkReadOnlyPlaces(&m, wrongReadOnly));
    EXPECT_TRUE(checkLocalActions(&m, actions));
    EXPECT_FALSE(checkLocalActions(&m, lastWrong));

    emptySAN e;
    EXPECT_TRUE(checkLocalSVs(&e, nullptr));
    EXPECT_TRUE(checkReadOnlyPlaces(&e, nullptr));
    EXPECT_TRUE(checkLocalActions(&e, nullptr));
}

TEST_F(SANModelTest, StateIsUnsharedPlacesAsLittleEndianShorts) {
    abSAN m;
    EXPECT_EQ(4, m.StateSize()) << "the read-only place never counts";
    EXPECT_EQ((Bytes{0x01, 0x00, 0x02, 0x01, 0xEE}), Current(m, 5));

    const Bytes in{0x07, 0x00, 0x00, 0x01};
    Bytes copy = in;
    m.SetState(copy.data());
    EXPECT_EQ(7, m.a->getMark());
    EXPECT_EQ(256, m.b->getMark());
    EXPECT_EQ(7, m.r->getMark()) << "read-only places are never read back";
}

TEST_F(SANModelTest, SharedPlaceLeavesTheAtomicState) {
    abSAN m;
    // What a composed model does with its own place of the same name.
    Place composer("b");
    composer.ShareWith(m.b);
    ASSERT_TRUE(m.b->shared);
    ASSERT_FALSE(m.b->stored);

    EXPECT_EQ(2, m.StateSize());
    EXPECT_EQ((Bytes{0x01, 0x00, 0xEE, 0xEE}), Current(m, 4));

    Bytes in{0x05, 0x00, 0x09, 0x09};
    m.SetState(in.data());
    EXPECT_EQ(5, m.a->getMark());
    EXPECT_EQ(258, composer.getMark()) << "the shared cell is not the atomic model's to set";
}

TEST_F(SANModelTest, ModelWhoseOnlyPlaceIsSharedHasNoLocalState) {
    soloSAN m;
    EXPECT_EQ(2, m.StateSize());
    EXPECT_TRUE(m.HasLocalState());

    Place composer("s");
    composer.ShareWith(m.s);
    EXPECT_EQ(0, m.StateSize());
    EXPECT_FALSE(m.HasLocalState());
    EXPECT_EQ((Bytes{0xEE, 0xEE}), Current(m, 2));

    emptySAN e;
    EXPECT_EQ(0, e.StateSize());
    EXPECT_FALSE(e.HasLocalState());
}

TEST_F(SANModelTest, CompareStateLooksAtStateSizeBytesOnly) {
    abSAN m;
    struct Case {
        Bytes a, b;
        bool equal;
    } cases[] = {
        {{1, 0, 2, 1, 9}, {1, 0, 2, 1, 8}, true},  // the fifth byte is not part of the state
        {{1, 0, 2, 1, 0}, {1, 0, 2, 2, 0}, false}, // last byte of the state
        {{1, 0, 2, 1, 0}, {0, 0, 2, 1, 0}, false}, // first byte
    };
    for (Case& c : cases)
        EXPECT_EQ(c.equal, m.CompareState(c.a.data(), c.b.data())) << Hex(c.a) << "vs " << Hex(c.b);
}

TEST_F(SANModelTest, LocalStateHashWeighsSignedBytesByPrimes) {
    abSAN m;
    Bytes wrapsToFirstPrime(257, 0);
    wrapsToFirstPrime[256] = 1;
    Bytes lastPrime(256, 0);
    lastPrime[255] = 1;
    struct Case {
        Bytes bytes;
        unsigned int hash;
    } cases[] = {
        {{}, 0u},
        {{0x01, 0x00}, 2u},
        {{0x01, 0x01}, 5u},
        {{0xFF}, static_cast<unsigned int>(-2)},
        {{0x00, 0x80}, static_cast<unsigned int>(-128 * 3)},
        {lastPrime, 1619u},
        {wrapsToFirstPrime, 2u},
    };
    for (Case& c : cases)
        EXPECT_EQ(c.hash, RawState(m, c.bytes)->hash()) << Hex(c.bytes);
    EXPECT_EQ(2u, primes[0]);
    EXPECT_EQ(1619u, primes[255]);
}

TEST_F(SANModelTest, LocalStateCompareReadsBytesUnsigned) {
    abSAN m;
    struct Case {
        Bytes a, b;
        int result;
    } cases[] = {
        {{0x80}, {0x7F}, 1},
        {{0x7F}, {0x80}, -1},
        {{0x01, 0xFF}, {0x02, 0x00}, -1},
        {{0x03, 0x04}, {0x03, 0x04}, 0},
        {{0x03, 0x05}, {0x03, 0x04}, 1},
    };
    for (Case& c : cases)
        EXPECT_EQ(c.result, RawState(m, c.a)->compare(*RawState(m, c.b)))
            << Hex(c.a) << "vs " << Hex(c.b);
}

TEST_F(SANModelTest, LocalStatePrintsSignedFiveWideBytes) {
    abSAN m;
    auto s = RawState(m, {0xFF, 0x01, 0x80, 0x00});
    testing::internal::CaptureStdout();
    s->print();
    EXPECT_EQ("   -1    1 -128    0\n", testing::internal::GetCapturedStdout());
}

TEST_F(SANModelTest, LocalStateFollowsTheModel) {
    abSAN m;
    State* s = nullptr;
    m.ConstructLocalState(s);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(4, static_cast<SANModel::LocalState*>(s)->size);

    m.GetLocalState(s);
    const unsigned char* data = static_cast<unsigned char*>(s->GetStatePtr());
    EXPECT_EQ((Bytes{0x01, 0x00, 0x02, 0x01}), Bytes(data, data + 4));

    m.a->setMark(99);
    m.b->setMark(-1);
    m.SetLocalState(s);
    EXPECT_EQ(1, m.a->getMark());
    EXPECT_EQ(258, m.b->getMark());
    m.DestructLocalState(s);
    m.DestructLocalState(nullptr);
}

TEST_F(SANModelTest, LocalStateAssignmentCopiesBytes) {
    abSAN m;
    auto target = RawState(m, {0, 0, 0, 0});
    auto source = RawState(m, {9, 8, 7, 6});
    *target = *source;
    EXPECT_EQ((Bytes{9, 8, 7, 6}), Bytes(target->data, target->data + 4));
    *target = *target;
    EXPECT_EQ((Bytes{9, 8, 7, 6}), Bytes(target->data, target->data + 4));
}

TEST_F(SANModelTest, LocalStateFileRoundTrip) {
    abSAN m;
    auto out = RawState(m, {0x10, 0x20, 0x30, 0x40});
    FILE* f = std::tmpfile();
    ASSERT_NE(nullptr, f);
    EXPECT_FALSE(out->fwriteState(f));
    EXPECT_EQ(8, std::ftell(f)) << "a 4-byte size, then the state";

    std::rewind(f);
    int storedSize = 0;
    ASSERT_EQ(1u, std::fread(&storedSize, sizeof storedSize, 1, f));
    EXPECT_EQ(4, storedSize);

    std::rewind(f);
    auto in = RawState(m, {0, 0, 0, 0});
    EXPECT_FALSE(in->freadState(f));
    EXPECT_EQ(0, in->compare(*out));

    // A file cut short inside the state is reported.
    std::rewind(f);
    FILE* cut = std::tmpfile();
    ASSERT_NE(nullptr, cut);
    char buffer[6];
    ASSERT_EQ(6u, std::fread(buffer, 1, 6, f));
    std::fwrite(buffer, 1, 6, cut);
    std::rewind(cut);
    EXPECT_TRUE(in->freadState(cut));
    std::fclose(cut);
    std::fclose(f);
}

TEST_F(SANModelTest, ListingsMatchByName) {
    abSAN m;
    struct Case {
        const char* model;
        const char* var;
        BaseStateVariableClass* expected; // null: nothing found
    } cases[] = {
        {"ab", "a", m.a},        {"ab", "b", m.b},      {"ab", "r", m.r},
        {"other", "a", nullptr}, {"ab", "zz", nullptr},
    };
    for (Case& c : cases) {
        List<BaseStateVariableClass> vars;
        List<BaseModelClass> models;
        m.listSVs(c.model, c.var, &vars, &models);
        if (c.expected == nullptr) {
            EXPECT_EQ(0, vars.getNumItems()) << c.model << "/" << c.var;
            EXPECT_EQ(0, models.getNumItems()) << c.model << "/" << c.var;
        } else {
            ASSERT_EQ(1, vars.getNumItems()) << c.model << "/" << c.var;
            EXPECT_EQ(c.expected, vars.getItem(0)) << c.model << "/" << c.var;
            ASSERT_EQ(1, models.getNumItems()) << c.model << "/" << c.var;
            EXPECT_EQ(&m, models.getItem(0));
        }
    }
    // Asking twice still lists the model once.
    List<BaseStateVariableClass> vars;
    List<BaseModelClass> models;
    m.listSVs("ab", "a", &vars, &models);
    m.listSVs("ab", "b", &vars, &models);
    EXPECT_EQ(2, vars.getNumItems());
    EXPECT_EQ(1, models.getNumItems());

    List<BaseModelClass> found;
    m.listModels("other", &found);
    EXPECT_EQ(0, found.getNumItems());
    m.listModels("ab", &found);
    ASSERT_EQ(1, found.getNumItems());
    EXPECT_EQ(&m, found.getItem(0));

    List<BaseActionClass> named;
    m.listActions("swap_case2", &named);
    m.listActions("missing", &named);
    ASSERT_EQ(1, named.getNumItems());
    EXPECT_EQ(&m.swap_case2, named.getItem(0));

    List<BaseActionClass> all;
    m.listActions(&all);
    ASSERT_EQ(3, all.getNumItems());
    EXPECT_EQ(&m.grow, all.getItem(0));
    EXPECT_EQ(&m.swap_case1, all.getItem(1));
    EXPECT_EQ(&m.swap_case2, all.getItem(2));

    List<BaseGroupClass> groups;
    m.listGroups(&groups);
    ASSERT_EQ(2, groups.getNumItems());
    EXPECT_EQ(&m.grow, groups.getItem(0));
    EXPECT_EQ(&m.swapGroup, groups.getItem(1));
}

TEST_F(SANModelTest, PrintStateListsPlacesThenReadOnlyPlaces) {
    abSAN m;
    std::ostringstream out;
    m.printState(&out);
    EXPECT_EQ("Model: (1)ab\n  a = 1\n  b = 258\n  r = 7\n", out.str());

    testing::internal::CaptureStdout();
    m.printState();
    EXPECT_EQ(out.str(), testing::internal::GetCapturedStdout());
}

TEST_F(SANModelTest, PrintSANModelInfoDescribesActionsGroupsAndPlaces) {
    abSAN m;
    testing::internal::CaptureStdout();
    m.PrintSANModelInfo();
    EXPECT_EQ("SANModelInfo\n"
              "Number of Actions = 3, Number of Groups = 2, Number of State Variables = 3\n"
              "ActionName = grow\n"
              "Group Id = 0\n"
              "DistributionType = 1\n"
              "ExecutionPolicy = 1\n"
              "Number of affected state variables = 1\n"
              "Number of enabling state variables = 1\n"
              "ActionName = swap_case1\n"
              "Group Id = 1\n"
              "DistributionType = 18\n"
              "ExecutionPolicy = 1\n"
              "Number of affected state variables = 2\n"
              "Number of enabling state variables = 1\n"
              "ActionName = swap_case2\n"
              "Group Id = 1\n"
              "DistributionType = 18\n"
              "ExecutionPolicy = 1\n"
              "Number of affected state variables = 1\n"
              "Number of enabling state variables = 2\n"
              "\n"
              "Group Name = grow \n"
              "Group Name = swapGroup \n"
              "Place Name = a\n"
              "Place Name = b\n"
              "Read Only Place Name = r\n",
              testing::internal::GetCapturedStdout());
}

std::set<BaseActionClass*> AsSet(const slist& l) {
    return std::set<BaseActionClass*>(l.begin(), l.end());
}

TEST_F(SANModelTest, UnsharedModelHasOnlyLocalActions) {
    leftSAN m;
    slist global;
    m.GetGlobalActions(global);
    EXPECT_TRUE(global.empty());

    slist local;
    m.GetLocalActions(local);
    // Inserted at the front in action order, so read back reversed.
    std::vector<BaseActionClass*> got(local.begin(), local.end());
    EXPECT_EQ((std::vector<BaseActionClass*>{&m.u_case2, &m.u_case1, &m.t1}), got);
}

TEST_F(SANModelTest, ActionsTouchingASharedPlaceAreGlobal) {
    left_rightRJ join;
    leftSAN& left = *join.left;
    testmodels::rightSAN& right = *join.right;

    // The shared place's lists hold both models' actions; each keeps its own.
    slist leftGlobal;
    BaseActionClass sentinel;
    leftGlobal.push_front(&sentinel);
    left.GetGlobalActions(leftGlobal);
    std::vector<BaseActionClass*> got(leftGlobal.begin(), leftGlobal.end());
    EXPECT_EQ((std::vector<BaseActionClass*>{&left.t1, &sentinel}), got);

    slist rightGlobal;
    right.GetGlobalActions(rightGlobal);
    EXPECT_EQ((std::set<BaseActionClass*>{&right.v_case1, &right.v_case2}), AsSet(rightGlobal));
    EXPECT_EQ(2, std::distance(rightGlobal.begin(), rightGlobal.end())) << "each action once";

    slist leftLocal;
    left.GetLocalActions(leftLocal);
    std::vector<BaseActionClass*> local(leftLocal.begin(), leftLocal.end());
    EXPECT_EQ((std::vector<BaseActionClass*>{&left.u_case2, &left.u_case1}), local);

    slist rightLocal;
    right.GetLocalActions(rightLocal);
    std::vector<BaseActionClass*> rlocal(rightLocal.begin(), rightLocal.end());
    EXPECT_EQ((std::vector<BaseActionClass*>{&right.w}), rlocal);
}

TEST_F(SANModelDeathTest, GetChildIsAProgrammingError) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out";
#endif
    abSAN m;
    EXPECT_DEATH(m.GetChild(0), HasSubstr("false"));
}

TEST_F(SANModelDeathTest, AssigningStatesOfDifferentSizesIsAProgrammingError) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out";
#endif
    abSAN m;
    auto four = RawState(m, {1, 2, 3, 4});
    auto two = RawState(m, {1, 2});
    EXPECT_DEATH(*four = *two, HasSubstr("size == _localS->size"));
}

} // namespace
