#include "generator/Reward.h"

#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

class TestPV : public PerformanceVariableNode {
  public:
    explicit TestPV(const char* name) {
        Name = new char[std::strlen(name) + 1];
        std::strcpy(Name, name);
    }
    void CreateWorkerList() override {}
};

// A reward model that only carries performance variables. The fixture owns them, so
// they are detached before the base destructor would release them.
class PVsOnlyModel : public PVModel {
  public:
    explicit PVsOnlyModel(std::vector<std::unique_ptr<TestPV>>& pvs) : nodes(pvs.size()) {
        for (size_t i = 0; i < pvs.size(); i++)
            nodes[i] = pvs[i].get();
        PVNodes = nodes.empty() ? nullptr : nodes.data();
        NumPVs = static_cast<int>(nodes.size());
    }
    ~PVsOnlyModel() override {
        PVNodes = nullptr;
        NumPVs = 0;
    }
    PerformanceVariableNode* createPVNode(int, int) override { return nullptr; }
    std::vector<PerformanceVariableNode*> nodes;
};

// Reward writes through a buffered stream; what it holds back is not in the file yet.
std::string ReadFile(const std::string& name) {
    rewfile.flush();
    return testsupport::ReadFile(name);
}

class RewardTest : public ::testing::Test {
  protected:
    std::string path = ::testing::TempDir() + "reward_test.var";
    std::vector<std::unique_ptr<TestPV>> pvs;

    void AddPV(const char* name) { pvs.push_back(std::make_unique<TestPV>(name)); }
    void SetValues(int pv, double impulse, double rate) {
        pvs[pv]->ImpulseValue = impulse;
        pvs[pv]->RateValue = rate;
    }
};

TEST_F(RewardTest, OnePerformanceVariableOverThreeStates) {
    AddPV("P1");
    PVsOnlyModel model(pvs);
    Reward reward(&model, 1, path.c_str());
    const struct {
        double impulse, rate;
    } states[] = {{0.0, 0.5}, {0.00001, 1.0}, {2.5, 1234567.0}};
    for (uint32_t n = 1; n <= 3; n++) {
        SetValues(0, states[n - 1].impulse, states[n - 1].rate);
        reward.Calculate(n);
    }
    EXPECT_EQ(ReadFile(path), "P1\n"
                              "1\n0\n0.5\n"
                              "2\n1e-05\n1\n"
                              "3\n2.5\n1.23457e+06\n");
}

TEST_F(RewardTest, NoPerformanceVariableWritesOnlyStateNumbers) {
    PVsOnlyModel model(pvs);
    Reward reward(&model, 1, path.c_str());
    for (uint32_t n = 1; n <= 3; n++)
        reward.Calculate(n);
    EXPECT_EQ(ReadFile(path), "1\n2\n3\n");
}

TEST_F(RewardTest, VariablesAppearInModelOrderWithImpulseBeforeRate) {
    AddPV("first");
    AddPV("second");
    PVsOnlyModel model(pvs);
    for (short type : {1, 3, 5}) {
        Reward reward(&model, type, path.c_str());
        SetValues(0, 1.0, 2.0);
        SetValues(1, 3.0, 4.0);
        reward.Calculate(7);
        EXPECT_EQ(ReadFile(path), "first\nsecond\n7\n1\n2\n3\n4\n") << "file type " << type;
    }
}

TEST_F(RewardTest, NewRewardTruncatesAndResetsNumberFormat) {
    AddPV("P1");
    PVsOnlyModel model(pvs);
    {
        Reward reward(&model, 1, path.c_str());
        for (uint32_t n = 1; n <= 50; n++)
            reward.Calculate(n);
    }
    rewfile << std::scientific;
    Reward reward(&model, 1, path.c_str());
    SetValues(0, 0.0, 0.5);
    reward.Calculate(1);
    EXPECT_EQ(ReadFile(path), "P1\n1\n0\n0.5\n");
}

TEST_F(RewardTest, BinaryFormAfterTextHeader) {
    AddPV("P1");
    AddPV("P2");
    PVsOnlyModel model(pvs);
    Reward reward(&model, 2, path.c_str());
    SetValues(0, 0.25, -1.5);
    SetValues(1, 3.0, 1e-300);
    reward.Calculate(258);

    std::string expected = "P1\nP2\n";
    const uint32_t n = 258;
    expected.append(reinterpret_cast<const char*>(&n), 4);
    for (double d : {0.25, -1.5, 3.0, 1e-300})
        expected.append(reinterpret_cast<const char*>(&d), 8);
    EXPECT_EQ(ReadFile(path), expected);
}

class RewardDeathTest : public RewardTest {};

TEST_F(RewardDeathTest, UnopenableFileEndsTheRun) {
    PVsOnlyModel model(pvs);
    const std::string bad = ::testing::TempDir() + "no_such_directory/x.var";
    EXPECT_EXIT(Reward(&model, 1, bad.c_str()), ::testing::ExitedWithCode(1),
                ::testing::HasSubstr("Could not open file dude"));
}

// A state's reward record may be written after the model has moved on, from values
// captured while the model held that state's rewards. The record must be the one
// Calculate(n) would have written at capture time, in text and in binary form.
class RewardCaptureTest : public ::testing::Test {
  protected:
    std::string now = ::testing::TempDir() + "reward_capture_now.var";
    std::string later = ::testing::TempDir() + "reward_capture_later.var";
    std::vector<std::unique_ptr<TestPV>> pvs;

    void Set(double a, double b, double c, double d) {
        pvs[0]->ImpulseValue = a;
        pvs[0]->RateValue = b;
        pvs[1]->ImpulseValue = c;
        pvs[1]->RateValue = d;
    }
};

const struct {
    double impulse0, rate0, impulse1, rate1;
} kStates[] = {{0.0, 0.5, 1e-05, 3.0}, {2.5, 1234567.0, -0.125, 0.0}, {1.0 / 3, 7.0, 0.0, 1e300}};

TEST_F(RewardCaptureTest, LaterRecordsEqualImmediateOnes) {
    pvs.push_back(std::make_unique<TestPV>("P1"));
    pvs.push_back(std::make_unique<TestPV>("P2"));
    PVsOnlyModel model(pvs);
    for (short type : {1, 2}) {
        SCOPED_TRACE(::testing::Message() << "file type " << type);
        std::string immediate;
        {
            Reward reward(&model, type, now.c_str());
            for (uint32_t n = 1; n <= 3; n++) {
                const auto& s = kStates[n - 1];
                Set(s.impulse0, s.rate0, s.impulse1, s.rate1);
                reward.Calculate(n);
            }
            immediate = ReadFile(now);
        }
        Reward reward(&model, type, later.c_str());
        ASSERT_EQ(reward.ValuesPerRecord(), 4u);
        std::vector<double> captured(3 * reward.ValuesPerRecord());
        for (uint32_t n = 1; n <= 3; n++) {
            const auto& s = kStates[n - 1];
            Set(s.impulse0, s.rate0, s.impulse1, s.rate1);
            reward.Capture(&captured[(n - 1) * 4]);
        }
        // The model now holds other values; the records come from the captures.
        Set(9.0, 9.0, 9.0, 9.0);
        for (uint32_t n = 1; n <= 3; n++)
            reward.Calculate(n, &captured[(n - 1) * 4]);
        EXPECT_EQ(ReadFile(later), immediate);
    }
}

TEST_F(RewardCaptureTest, WithoutVariablesOnlyNumbersAreWritten) {
    PVsOnlyModel model(pvs);
    Reward reward(&model, 1, later.c_str());
    EXPECT_EQ(reward.ValuesPerRecord(), 0u);
    reward.Calculate(5, nullptr);
    reward.Calculate(6);
    EXPECT_EQ(ReadFile(later), "5\n6\n");
}

} // namespace
