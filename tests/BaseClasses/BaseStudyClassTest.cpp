#include "BaseClasses/BaseStudyClass.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Global variables of a small generated-style study, one per override letter.
float flash_size;
short num_replicas;
bool flag;
char letter;
double dbl;
int count;
long big;

void ResetGlobals() {
    flash_size = 0;
    num_replicas = 0;
    flag = false;
    letter = 0;
    dbl = 0;
    count = 0;
    big = 0;
}

class TestStudy : public BaseStudyClass {
  public:
    // Each OverrideGVValue call as "name=value", the value read as the declared type.
    std::vector<std::string> Calls;

    TestStudy() {
        const char* names[] = {"flash_size", "num_replicas", "flag", "letter",
                               "dbl",        "count",        "big"};
        const char* types[] = {"float", "short", "bool", "char", "double", "int", "long"};
        NumGVs = 7;
        NumExps = 2;
        GVNames = new char*[NumGVs];
        GVTypes = new char*[NumGVs];
        for (int i = 0; i < NumGVs; i++) {
            GVNames[i] = strdup(names[i]);
            GVTypes[i] = strdup(types[i]);
        }
    }

    void OverrideGVValue(char* name, void* value) override {
        std::ostringstream call;
        call << name << "=";
        if (std::strcmp(name, "flash_size") == 0)
            call << (flash_size = *static_cast<float*>(value));
        else if (std::strcmp(name, "num_replicas") == 0)
            call << (num_replicas = *static_cast<short*>(value));
        else if (std::strcmp(name, "flag") == 0)
            call << (flag = *static_cast<bool*>(value));
        else if (std::strcmp(name, "letter") == 0)
            call << (letter = *static_cast<char*>(value));
        else if (std::strcmp(name, "dbl") == 0)
            call << (dbl = *static_cast<double*>(value));
        else if (std::strcmp(name, "count") == 0)
            call << (count = *static_cast<int*>(value));
        else if (std::strcmp(name, "big") == 0)
            call << (big = *static_cast<long*>(value));
        else
            call << "?";
        Calls.push_back(call.str());
    }
};

class BaseStudyClassTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetGlobals(); }

    // Runs the parser on a copy of the text; captures both streams.
    bool Override(const char* text) {
        std::vector<char> copy;
        if (text != nullptr)
            copy.assign(text, text + std::strlen(text) + 1);
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const bool applied = study.overrideGVs(text != nullptr ? copy.data() : nullptr);
        out = ::testing::internal::GetCapturedStdout();
        err = ::testing::internal::GetCapturedStderr();
        if (text != nullptr) {
            EXPECT_STREQ(text, copy.data()) << "the caller's text is left as it was";
        }
        return applied;
    }

    TestStudy study;
    std::string out, err;
};

TEST_F(BaseStudyClassTest, OverrideStringCases) {
    // `applied` is what the parser returns: false for any problem, so that the run
    // stops instead of going on with the old value.
    struct Case {
        const char* text;
        std::vector<std::string> calls;
        std::string out;
        bool applied = true;
        std::string err = "";
    };
    const std::string notInt = " is not a number of type int\n";
    const std::vector<Case> cases = {
        {"", {}, ""},
        {":::", {}, ""},
        {"f:flash_size:32:s:num_replicas:3", {"flash_size=32", "num_replicas=3"}, ""},
        {"::f::flash_size:::7::", {"flash_size=7"}, ""},
        {"float:flash_size:64", {"flash_size=64"}, ""},
        {"f:flash_size", {}, "Not enough double override tokens", false},
        {"f", {}, "Not enough double override tokens", false},
        {"f:flash_size:1:s:num_replicas",
         {"flash_size=1"},
         "Not enough double override tokens",
         false},
        {"x:flash_size:5:f:flash_size:64", {"flash_size=64"}, "Type x not recognized\n", false},
        {"F:flash_size:5", {}, "Type F not recognized\n", false},
        {"s:num_replicas:0x10", {"num_replicas=16"}, ""},
        {"s:num_replicas:010", {"num_replicas=8"}, ""},
        {"s:num_replicas:-7", {"num_replicas=-7"}, ""},
        {"s:num_replicas:32767", {"num_replicas=32767"}, ""},
        {"b:flag:2", {"flag=1"}, ""},
        {"b:flag:0", {"flag=0"}, ""},
        {"b:flag:0x100", {"flag=1"}, ""},
        {"c:letter:xyz", {"letter=x"}, ""},
        {"d:dbl:2.5e3", {"dbl=2500"}, ""},
        {"i:count:-0x1F", {"count=-31"}, ""},
        {"i:count:017", {"count=15"}, ""},
        {"l:big:123456789012", {"big=123456789012"}, ""},
        // Values that are not wholly a number of the type, or do not fit it.
        {"i:count:abc", {}, "", false, "Value abc of global variable count" + notInt},
        {"i:count:12abc:i:count:4",
         {"count=4"},
         "",
         false,
         "Value 12abc of global variable count" + notInt},
        {"i:count:4294967296", {}, "", false, "Value 4294967296 of global variable count" + notInt},
        {"s:num_replicas:70000",
         {},
         "",
         false,
         "Value 70000 of global variable num_replicas is not a number of type short\n"},
        {"b:flag:yes",
         {},
         "",
         false,
         "Value yes of global variable flag is not a number of type bool\n"},
        {"f:flash_size:zz",
         {},
         "",
         false,
         "Value zz of global variable flash_size is not a number of type float\n"},
        {"f:flash_size:1e39",
         {},
         "",
         false,
         "Value 1e39 of global variable flash_size is not a number of type float\n"},
        {"d:dbl:1e999",
         {},
         "",
         false,
         "Value 1e999 of global variable dbl is not a number of type double\n"},
        // The study reports an unknown name itself; nothing is stored.
        {"f:no_such_variable:1", {"no_such_variable=?"}, "", false},
    };
    for (const Case& c : cases) {
        ResetGlobals();
        study.Calls.clear();
        const bool applied = Override(c.text);
        EXPECT_EQ(c.calls, study.Calls) << "text \"" << c.text << "\"";
        EXPECT_EQ(c.out, out) << "text \"" << c.text << "\"";
        EXPECT_EQ(c.err, err) << "text \"" << c.text << "\"";
        EXPECT_EQ(c.applied, applied) << "text \"" << c.text << "\"";
    }
}

TEST_F(BaseStudyClassTest, NullTextDoesNothing) {
    Override(nullptr);
    EXPECT_TRUE(study.Calls.empty());
    EXPECT_EQ("", out);
    EXPECT_EQ("", err);
}

TEST_F(BaseStudyClassTest, ValuesReachTheVariablesWithTheirTypes) {
    EXPECT_TRUE(Override("f:flash_size:0.25:s:num_replicas:3:b:flag:5:c:letter:Q:d:dbl:-1.5:"
                         "i:count:42:l:big:-9"));
    EXPECT_EQ(0.25f, flash_size);
    EXPECT_EQ(3, num_replicas);
    EXPECT_TRUE(flag);
    EXPECT_EQ('Q', letter);
    EXPECT_EQ(-1.5, dbl);
    EXPECT_EQ(42, count);
    EXPECT_EQ(-9L, big);
}

TEST_F(BaseStudyClassTest, LetterOfAnotherTypeIsRefusedAndParsingGoesOn) {
    struct Case {
        const char* text;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"f:num_replicas:3", "short"}, {"s:flash_size:3", "float"}, {"i:big:3", "long"},
        {"l:count:3", "int"},          {"d:flash_size:3", "float"}, {"c:flag:1", "bool"},
        {"b:letter:1", "char"},
    };
    for (const Case& c : cases) {
        ResetGlobals();
        study.Calls.clear();
        std::string text = std::string(c.text) + ":i:count:5";
        EXPECT_FALSE(Override(text.c_str())) << c.text;
        std::string name = std::strchr(c.text, ':') + 1;
        name = name.substr(0, name.find(':'));
        EXPECT_EQ("Type letter " + std::string(1, c.text[0]) + " does not match the type " + c.err +
                      " of global variable " + name + "\n",
                  err)
            << c.text;
        EXPECT_EQ(std::vector<std::string>{"count=5"}, study.Calls) << c.text;
        EXPECT_EQ("", out) << c.text;
    }
    EXPECT_EQ(0, num_replicas);
    EXPECT_EQ(0.0f, flash_size);
}

TEST_F(BaseStudyClassTest, ExperimentNamesShareOneBuffer) {
    char* first = study.GetExpName(0);
    EXPECT_STREQ("Experiment 1", first);
    char* second = study.GetExpName(11);
    EXPECT_STREQ("Experiment 12", second);
    EXPECT_EQ(first, second);
    EXPECT_STREQ("Experiment 12", first) << "a later call overwrites the earlier text";
}

TEST_F(BaseStudyClassTest, BaseOperations) {
    BaseStudyClass base;
    EXPECT_EQ(nullptr, base.CurrentPVModel);
    EXPECT_EQ(nullptr, base.GetPVModel(false));
    base.CurrentPVModel = reinterpret_cast<PVModel*>(&base);
    EXPECT_EQ(base.CurrentPVModel, base.GetPVModel(true)) << "returned unchanged";
    base.CurrentPVModel = nullptr;
    char name[] = "flash_size";
    EXPECT_EQ(nullptr, base.GetGVValue(name));
    EXPECT_EQ(0, base.GetNumGVs());
    ::testing::internal::CaptureStdout();
    base.SetGVs(0);
    base.PrintGlobalValues(0);
    base.OverrideGVValue(name, nullptr);
    EXPECT_EQ("basestudyclass::SetGVs\n", ::testing::internal::GetCapturedStdout());
}

TEST_F(BaseStudyClassTest, TablesAndCounts) {
    EXPECT_EQ(7, study.GetNumGVs());
    EXPECT_EQ(2, study.GetNumExps());
    EXPECT_STREQ("num_replicas", study.GetGVName(1));
    EXPECT_STREQ("short", study.GetGVType(1));
    EXPECT_EQ(study.GVNames[6], study.GetGVName(6)) << "not a copy";
}

} // namespace
