#include "model/redundant_flash_studyRangeStudy.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseModelClass.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

bool allGlobalsZero() {
    return flash_size == 0 && num_replicas == 0 && power_cycle_rate == 0 && ram_size == 0 &&
           random_failure_rate == 0;
}

// The "threadsafe" style re-executes the test program for the death statement, so
// the child sees the global variables as the program starts, whatever ran before.
TEST(ExampleStudyDeathTest, GlobalVariablesAreZeroBeforeSetGVs) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(allGlobalsZero() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

class ExampleStudyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BaseActionClass::MaxID = 0;
        PerformanceVariableNode::the_id = 0;
        BaseModelClass::ResetModelIdCounter();
        study = GenerateStudy();
    }
    void TearDown() override { DestructStudy(); }

    static void scramble() {
        flash_size = -1;
        num_replicas = -1;
        power_cycle_rate = -1;
        ram_size = -1;
        random_failure_rate = -1;
    }

    BaseStudyClass* study = nullptr;
};

TEST_F(ExampleStudyTest, FiveVariablesAndThirtySixExperiments) {
    ASSERT_EQ(study->GetNumGVs(), 5);
    EXPECT_EQ(study->GetNumExps(), 36);
    const char* names[] = {"flash_size", "num_replicas", "power_cycle_rate", "ram_size",
                           "random_failure_rate"};
    const char* types[] = {"float", "short", "float", "float", "float"};
    for (int i = 0; i < 5; i++) {
        EXPECT_STREQ(study->GetGVName(i), names[i]) << "variable " << i;
        EXPECT_STREQ(study->GetGVType(i), types[i]) << "variable " << i;
    }
    EXPECT_EQ(study->CurrentPVModel, nullptr);
    EXPECT_STREQ(study->GetExpName(0), "Experiment 1");
    EXPECT_STREQ(study->GetExpName(35), "Experiment 36");
}

TEST_F(ExampleStudyTest, SelectedExperimentsSetTheirValues) {
    struct Row {
        int k;
        short replicas;
        float rate;
    };
    const Row rows[] = {{0, 1, 0.03125f}, {5, 2, 0.0625f}, {22, 3, 1.0f}, {35, 4, 8.0f}};
    for (const Row& r : rows) {
        scramble();
        study->SetGVs(r.k);
        EXPECT_EQ(flash_size, 64.0f) << "experiment " << r.k;
        EXPECT_EQ(num_replicas, r.replicas) << "experiment " << r.k;
        EXPECT_EQ(power_cycle_rate, r.rate) << "experiment " << r.k;
        EXPECT_EQ(ram_size, 128.0f) << "experiment " << r.k;
        EXPECT_EQ(random_failure_rate, 0.005f) << "experiment " << r.k;
    }
}

TEST_F(ExampleStudyTest, EveryExperimentFollowsTheRange) {
    for (int k = 0; k < 36; k++) {
        scramble();
        study->SetGVs(k);
        EXPECT_EQ(num_replicas, k % 4 + 1) << "experiment " << k;
        EXPECT_EQ(power_cycle_rate, std::ldexp(1.0f, k / 4 - 5)) << "experiment " << k;
        EXPECT_EQ(flash_size, 64.0f) << "experiment " << k;
        EXPECT_EQ(ram_size, 128.0f) << "experiment " << k;
        EXPECT_EQ(random_failure_rate, 0.005f) << "experiment " << k;
    }
}

TEST_F(ExampleStudyTest, ListingOfExperimentZero) {
    scramble();
    ::testing::internal::CaptureStdout();
    study->PrintGlobalValues(0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "The Global Variable values for experiment Experiment 1 are:\n"
              "flash_size\tfloat\t64\n"
              "num_replicas\tshort\t1\n"
              "power_cycle_rate\tfloat\t0.03125\n"
              "ram_size\tfloat\t128\n"
              "random_failure_rate\tfloat\t0.005\n");
}

TEST_F(ExampleStudyTest, ListingSetsTheExperimentFirst) {
    scramble();
    ::testing::internal::CaptureStdout();
    study->PrintGlobalValues(5);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "The Global Variable values for experiment Experiment 6 are:\n"
              "flash_size\tfloat\t64\n"
              "num_replicas\tshort\t2\n"
              "power_cycle_rate\tfloat\t0.0625\n"
              "ram_size\tfloat\t128\n"
              "random_failure_rate\tfloat\t0.005\n");
    EXPECT_EQ(num_replicas, 2);
    EXPECT_EQ(power_cycle_rate, 0.0625f);
}

TEST_F(ExampleStudyTest, GetGVValueGivesTheVariablesAddresses) {
    struct Row {
        const char* name;
        void* address;
    };
    const Row rows[] = {{"flash_size", &flash_size},
                        {"num_replicas", &num_replicas},
                        {"power_cycle_rate", &power_cycle_rate},
                        {"ram_size", &ram_size},
                        {"random_failure_rate", &random_failure_rate}};
    for (const Row& r : rows) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(study->GetGVValue(const_cast<char*>(r.name)), r.address) << r.name;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << r.name;
    }
    for (std::string unknown : {"RAM_SIZE", "ram_size ", "", "flash"}) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(study->GetGVValue(&unknown[0]), nullptr) << unknown;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "!! redundant_flash_studyRangeStudy::GetGVValue: Global Variable " + unknown +
                      " does not exist.\n");
    }
}

TEST_F(ExampleStudyTest, OverrideGVValueCopiesAValueOfTheVariablesType) {
    study->SetGVs(0);
    float f = 32;
    short s = 3;
    float rate = 0.5f;
    float ram = 512;
    float rfr = 0.25f;
    study->OverrideGVValue(const_cast<char*>("flash_size"), &f);
    study->OverrideGVValue(const_cast<char*>("num_replicas"), &s);
    study->OverrideGVValue(const_cast<char*>("power_cycle_rate"), &rate);
    study->OverrideGVValue(const_cast<char*>("ram_size"), &ram);
    study->OverrideGVValue(const_cast<char*>("random_failure_rate"), &rfr);
    EXPECT_EQ(flash_size, 32.0f);
    EXPECT_EQ(num_replicas, 3);
    EXPECT_EQ(power_cycle_rate, 0.5f);
    EXPECT_EQ(ram_size, 512.0f);
    EXPECT_EQ(random_failure_rate, 0.25f);
}

TEST_F(ExampleStudyTest, OverrideOfAnUnknownNameReportsAndChangesNothing) {
    study->SetGVs(0);
    float value = 64;
    ::testing::internal::CaptureStderr();
    study->OverrideGVValue(const_cast<char*>("RAM_SIZE"), &value);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "!! redundant_flash_studyRangeStudy::OverrideGVValue: Global Variable RAM_SIZE does "
              "not exist.\n");
    EXPECT_EQ(ram_size, 128.0f);
    EXPECT_EQ(flash_size, 64.0f);
}

TEST_F(ExampleStudyTest, OverrideStringSetsRamSize) {
    study->SetGVs(0);
    study->overrideGVs(const_cast<char*>("f:ram_size:64"));
    EXPECT_EQ(ram_size, 64.0f);
    void* p = study->GetGVValue(const_cast<char*>("ram_size"));
    ASSERT_EQ(p, static_cast<void*>(&ram_size));
    EXPECT_EQ(*static_cast<float*>(p), 64.0f);
    EXPECT_EQ(flash_size, 64.0f) << "other variables keep their values";
}

TEST_F(ExampleStudyTest, GenerateStudyKeepsOneStudyUntilDestructed) {
    EXPECT_EQ(GenerateStudy(), study);
    EXPECT_EQ(GlobalStudyPtr, study);
    study->SetGVs(0);
    ASSERT_NE(study->GetPVModel(false), nullptr);

    DestructStudy();
    EXPECT_EQ(GlobalStudyPtr, nullptr);
    BaseStudyClass* fresh = GenerateStudy();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(GlobalStudyPtr, fresh);
    // A new object: it has not built a reward model yet.
    EXPECT_EQ(fresh->CurrentPVModel, nullptr);
    EXPECT_EQ(fresh->GetNumExps(), 36);
}

TEST_F(ExampleStudyTest, GetPVModelReplacesThePreviousModel) {
    study->SetGVs(1);
    PVModel* first = study->GetPVModel(false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(study->CurrentPVModel, first);
    EXPECT_EQ(first->NumPVs, 1);
    // The new model's nodes index the actions' reward structures from 0 again.
    PerformanceVariableNode::the_id = 0;
    PVModel* second = study->GetPVModel(true);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(study->CurrentPVModel, second);
    EXPECT_EQ(second->NumPVs, 3);
}

} // namespace
