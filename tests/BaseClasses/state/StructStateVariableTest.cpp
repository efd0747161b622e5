#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/state/PlaceArray.h"
#include "BaseClasses/state/SharableSV.h"
#include "BaseClasses/state/StructStateVariable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

using ArrayType = BaseStructStateVariable::ArrayType;

// A structured variable as generated code writes one: field() creates the field
// variable for each element code; codes above 4 take a nested variable given by
// the caller. The created variables belong to this object.
class TestStruct : public BaseStructStateVariable {
  public:
    std::vector<BaseStateVariableClass*> owned;
    std::vector<BaseStructStateVariable*> nested; // handed out for codes above 4

    TestStruct(const char* name, std::vector<ArrayType> codes,
               std::vector<BaseStructStateVariable*> inner = {})
        : BaseStructStateVariable(name, ""), nested(inner) {
        makeArrays(codes.data(), static_cast<int>(codes.size()));
    }
    ~TestStruct() override {
        for (BaseStateVariableClass* v : owned)
            delete v;
    }

    fieldType field(ArrayType type, BaseStateVariableClass* variable) const override {
        TestStruct* self = const_cast<TestStruct*>(this);
        if (variable == nullptr) {
            std::string n = std::string(name) + "_f" + std::to_string(self->fields.size());
            switch (type) {
            case 0:
                variable = new SharableSV<short>(n.c_str(), "");
                break;
            case 1:
                variable = new SharableSV<int>(n.c_str(), "");
                break;
            case 2:
                variable = new SharableSV<char>(n.c_str(), "");
                break;
            case 3:
                variable = new SharableSV<double>(n.c_str(), "");
                break;
            case 4:
                variable = new SharableSV<float>(n.c_str(), "");
                break;
            default:
                variable = self->nested.at(0);
                self->nested.erase(self->nested.begin());
                break;
            }
            if (type <= 4)
                self->owned.push_back(variable);
        }
        return BaseStructStateVariable::field(type, variable);
    }

    template <class T> T* cell(int i) {
        return static_cast<SharableSV<T>*>(fields[static_cast<size_t>(i)].variable)->Value;
    }
};

std::string Printed(BaseStateVariableClass& v) {
    std::ostringstream s;
    v.printState(&s);
    return s.str();
}

class StructStateVariableTest : public ::testing::Test {
  protected:
    void SetUp() override { BaseActionClass::MaxID = 0; }
};

TEST_F(StructStateVariableTest, FieldsAreLaidOutBackToBack) {
    TestStruct s("s", {0, 2, 3});
    EXPECT_EQ(s.stateSize, -1);
    EXPECT_EQ(s.StateSize(), 11);
    EXPECT_EQ(s.stateSize, 11) << "the size is cached";
    ASSERT_EQ(s.getSize(), 3);
    EXPECT_EQ(s.getType(0), 0);
    EXPECT_EQ(s.getType(1), 2);
    EXPECT_EQ(s.getType(2), 3);

    *s.cell<short>(0) = 0x0102;
    *s.cell<char>(1) = 0x7f;
    *s.cell<double>(2) = 1.5;
    unsigned char bytes[12];
    std::memset(bytes, 0xEE, sizeof bytes);
    s.CurrentState(bytes);
    EXPECT_EQ(bytes[0], 0x02);
    EXPECT_EQ(bytes[1], 0x01);
    EXPECT_EQ(bytes[2], 0x7f) << "second field at offset 2";
    double d = 0;
    std::memcpy(&d, bytes + 3, sizeof d);
    EXPECT_EQ(d, 1.5) << "third field at offset 3";
    EXPECT_EQ(bytes[11], 0xEE) << "wrote beyond 11 bytes";

    unsigned char in[11] = {0x05, 0x00, 0x21};
    double e = -4.0;
    std::memcpy(in + 3, &e, sizeof e);
    s.SetState(in);
    EXPECT_EQ(*s.cell<short>(0), 5);
    EXPECT_EQ(*s.cell<char>(1), 0x21);
    EXPECT_EQ(*s.cell<double>(2), -4.0);
}

TEST_F(StructStateVariableTest, EveryCodeHasItsSize) {
    const struct {
        ArrayType code;
        int size;
    } table[] = {{0, 2}, {1, 4}, {2, 1}, {3, 8}, {4, 4}};
    for (const auto& row : table) {
        TestStruct s("s", {row.code});
        EXPECT_EQ(s.StateSize(), row.size) << "code " << row.code;
        BaseStructStateVariable bare("bare", "", &row.code, 1);
        EXPECT_EQ(bare.StateSize(), row.size) << "code " << row.code << " without a variable";
    }
}

TEST_F(StructStateVariableTest, AddingFieldsDiscardsTheCachedSize) {
    TestStruct s("s", {0, 2, 3});
    ASSERT_EQ(s.StateSize(), 11);
    ArrayType more[] = {1, 4};
    s.makeArrays(more, 2);
    EXPECT_EQ(s.stateSize, -1);
    EXPECT_EQ(s.calculateStateSize(), 19);
    EXPECT_EQ(s.stateSize, -1) << "calculateStateSize does not cache";
    EXPECT_EQ(s.StateSize(), 19);
}

TEST_F(StructStateVariableTest, TheCodeFixesTheOffsetWhateverTheVariableWrites) {
    // A 2-byte variable in a field of code 1 (4 bytes), then one of code 0.
    SharableSV<short> narrow("narrow", ""), next("next", "");
    *narrow.Value = 0x0102;
    *next.Value = 0x0304;
    BaseStructStateVariable s("s", "");
    s.fields.push_back(s.field(1, &narrow));
    s.fields.push_back(s.field(0, &next));
    EXPECT_EQ(s.StateSize(), 6);
    unsigned char bytes[6];
    std::memset(bytes, 0xEE, sizeof bytes);
    s.CurrentState(bytes);
    const unsigned char expected[6] = {0x02, 0x01, 0xEE, 0xEE, 0x04, 0x03};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
    const unsigned char in[6] = {0x11, 0x00, 0xEE, 0xEE, 0x22, 0x00};
    s.SetState(const_cast<unsigned char*>(in));
    EXPECT_EQ(*narrow.Value, 0x11);
    EXPECT_EQ(*next.Value, 0x22);
}

TEST_F(StructStateVariableTest, FieldsWithoutVariablesKeepTheirPlace) {
    ArrayType codes[] = {0, 2, 3};
    BaseStructStateVariable s("s", "", codes, 3);
    EXPECT_EQ(s.getSize(), 3);
    EXPECT_EQ(s.fields[1].variable, nullptr);
    EXPECT_EQ(s.StateSize(), 11);
    unsigned char bytes[11];
    std::memset(bytes, 0xEE, sizeof bytes);
    s.CurrentState(bytes);
    s.SetState(bytes);
    for (unsigned char b : bytes)
        EXPECT_EQ(b, 0xEE);
}

TEST_F(StructStateVariableTest, NestedVariablesUseTheirOwnSize) {
    TestStruct* inner = new TestStruct("in", {0, 1});
    TestStruct outer("out", {2, 5, 0}, {inner});
    EXPECT_EQ(outer.StateSize(), 1 + 6 + 2);

    *outer.cell<char>(0) = 9;
    *inner->cell<short>(0) = 0x0304;
    *inner->cell<int>(1) = 0x0A0B0C0D;
    *outer.cell<short>(2) = 0x0708;
    unsigned char bytes[9] = {};
    outer.CurrentState(bytes);
    const unsigned char expected[9] = {9, 0x04, 0x03, 0x0D, 0x0C, 0x0B, 0x0A, 0x08, 0x07};
    for (int i = 0; i < 9; i++)
        EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;

    EXPECT_EQ(Printed(outer), "out = {\n.out_f0 = 9\n.in = {\n.in_f0 = 772\n.in_f1 = "
                              "168496141\n}\n.out_f2 = 1800\n}\n");
    EXPECT_FALSE(outer.isLeafNode());
    EXPECT_EQ(outer.getNumLeafNodes(), 4);
    List<BaseStateVariableClass>* leaves = outer.getLeafNodes();
    ASSERT_EQ(leaves->getNumItems(), 4);
    EXPECT_EQ(leaves->getItem(0), outer.fields[0].variable);
    EXPECT_EQ(leaves->getItem(1), inner->fields[0].variable);
    EXPECT_EQ(leaves->getItem(2), inner->fields[1].variable);
    EXPECT_EQ(leaves->getItem(3), outer.fields[2].variable);
    delete leaves;
    delete inner;
}

TEST_F(StructStateVariableTest, EmptyVariables) {
    BaseStructStateVariable byDefault;
    EXPECT_STREQ(byDefault.getName(), "default");
    EXPECT_EQ(byDefault.stateSize, 0);
    EXPECT_TRUE(byDefault.getStored());
    EXPECT_FALSE(byDefault.getShared());

    BaseStructStateVariable named("n", "p");
    EXPECT_EQ(named.stateSize, -1);
    for (BaseStructStateVariable* s : {&byDefault, &named}) {
        SCOPED_TRACE(s->getName());
        EXPECT_EQ(s->StateSize(), 0);
        EXPECT_EQ(s->getSize(), 0);
        EXPECT_TRUE(s->isLeafNode());
        EXPECT_EQ(s->getNumLeafNodes(), 1);
        List<BaseStateVariableClass>* leaves = s->getLeafNodes();
        EXPECT_EQ(leaves->getNumItems(), 0);
        delete leaves;
    }
}

TEST_F(StructStateVariableTest, PrintsOneElementField) {
    TestStruct s("s", {0});
    s.fields[0].variable->SetName("x");
    *s.cell<short>(0) = 4;
    EXPECT_EQ(Printed(s), "s = {\n.x = 4\n}\n");
}

TEST_F(StructStateVariableTest, InvalidCodeIsReported) {
    ArrayType codes[] = {-1, 0};
    BaseStructStateVariable s("s", "", codes, 2);
    testing::internal::CaptureStderr();
    EXPECT_EQ(s.StateSize(), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ArrayType is not valid\n");
}

TEST_F(StructStateVariableTest, ArcsReachTheFields) {
    TestStruct s("s", {0, 2});
    BaseActionClass a, b;

    s.appendAffectingAction(&a);
    s.appendEnabledAction(&b);
    for (int i = 0; i < 2; i++) {
        EXPECT_TRUE(s.fields[static_cast<size_t>(i)].variable->getAffectingActions()->contains(&a))
            << "field " << i;
        EXPECT_TRUE(s.fields[static_cast<size_t>(i)].variable->getEnabledActions()->contains(&b))
            << "field " << i;
    }
    EXPECT_TRUE(s.getAffectingActions()->contains(&a));
    EXPECT_TRUE(s.getEnabledActions()->contains(&b));

    // An action registers the leaves of a structured variable, never the variable.
    a.addEnablingSV(&s);
    a.addAffectedSV(&s);
    for (List<BaseStateVariableClass>* l : {&a.EnablingSVs, &a.AffectedSVs}) {
        ASSERT_EQ(l->getNumItems(), 2);
        EXPECT_EQ(l->getItem(0), s.fields[0].variable);
        EXPECT_EQ(l->getItem(1), s.fields[1].variable);
        EXPECT_FALSE(l->contains(&s));
    }
    a.removeEnablingSV(&s);
    EXPECT_EQ(a.EnablingSVs.getNumItems(), 0);
    a.removeAffectedSV(&s);
    EXPECT_EQ(a.AffectedSVs.getNumItems(), 0);
}

TEST_F(StructStateVariableTest, SharingGoesFieldByField) {
    TestStruct s("s", {0, 2, 0});
    TestStruct t("t", {0, 2, 0});
    *t.cell<short>(0) = 11;
    *t.cell<char>(1) = 12;
    *t.cell<short>(2) = 13;
    BaseActionClass onS, onT, enT;
    s.appendAffectingAction(&onS);
    t.appendAffectingAction(&onT);
    t.appendEnabledAction(&enT);
    // Named directly so that the replacement of t by s can be seen.
    onT.AffectedSVs.append(&t);
    enT.EnablingSVs.append(&t);

    BaseStateVariableClass* asBase = &t;
    s.share(asBase);

    for (int i = 0; i < 3; i++) {
        BaseStateVariableClass* mine = s.fields[static_cast<size_t>(i)].variable;
        BaseStateVariableClass* theirs = t.fields[static_cast<size_t>(i)].variable;
        EXPECT_TRUE(mine->getShared()) << "field " << i;
        EXPECT_TRUE(mine->getStored()) << "field " << i;
        EXPECT_FALSE(theirs->getStored()) << "field " << i;
        EXPECT_EQ(mine->getAffectingActions(), theirs->getAffectingActions()) << "field " << i;
    }
    EXPECT_EQ(s.cell<short>(0), t.cell<short>(0));
    EXPECT_EQ(*s.cell<short>(0), 11);
    EXPECT_EQ(*s.cell<char>(1), 12);
    EXPECT_EQ(s.cell<short>(2), t.cell<short>(2));
    EXPECT_EQ(*s.cell<short>(2), 13);

    EXPECT_EQ(s.getAffectingActions(), t.getAffectingActions());
    EXPECT_EQ(s.getEnabledActions(), t.getEnabledActions());
    EXPECT_TRUE(s.getAffectingActions()->contains(&onS));
    EXPECT_TRUE(s.getAffectingActions()->contains(&onT));
    EXPECT_TRUE(s.getEnabledActions()->contains(&enT));
    EXPECT_TRUE(t.getShared());
    EXPECT_FALSE(t.getStored());
    EXPECT_FALSE(s.getShared()) << "the receiving variable's flags stay";
    EXPECT_TRUE(s.getStored());
    EXPECT_TRUE(onT.AffectedSVs.contains(&s));
    EXPECT_FALSE(onT.AffectedSVs.contains(&t));
    EXPECT_TRUE(enT.EnablingSVs.contains(&s));
    EXPECT_FALSE(enT.EnablingSVs.contains(&t));
}

// An array of places as compiled models use it: its bytes are the markings in index
// order, and an activity's view keeps reading and writing the shared storage after the
// array is shared, as a cached marking pointer of a place does.
TEST(PlaceArrayTest, StateBytesAndViewsFollowSharing) {
    const short initial[3] = {1, 0, 2};
    PlaceArray a("a", 3, initial);
    PlaceArray b("b", 3, nullptr);
    PlaceArray::Marks view;
    view.Link(&a);
    EXPECT_EQ(a.StateSize(), 6);
    short bytes[3] = {-1, -1, -1};
    a.CurrentState(bytes);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 2);

    // b takes a's markings and keeps the storage; a's view moves to it.
    b.ShareWith(&a);
    EXPECT_EQ(b[2], 2);
    view[1] = 5;
    EXPECT_EQ(b[1], 5) << "the view writes the shared storage";
    EXPECT_EQ(a[1], 5);
    EXPECT_STREQ(a.Item(1)->getName(), "a[1]");
}

#ifndef NDEBUG
TEST(StructStateVariableDeathTest, SharingNeedsAMatchingStructuredVariable) {
    EXPECT_DEATH(
        {
            TestStruct s("s", {0});
            SharableSV<short> plain("plain", "");
            s.share(&plain);
        },
        HasSubstr("otherStruct"));
    EXPECT_DEATH(
        {
            TestStruct s("s", {0, 0});
            TestStruct shorter("t", {0});
            s.share(&shorter);
        },
        HasSubstr("otheri!=otherStruct->fields.end()"));
}
#endif

} // namespace
