// A state's reward record may be written after the model has moved on, from values
// captured while the model held that state's rewards. The record must be the one
// Calculate(n) would have written at capture time, in text and in binary form.

#include "generator/Reward.h"

#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
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

// A reward model that only carries performance variables owned by the test.
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

std::string ReadFile(const std::string& name) {
    rewfile.flush();
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

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
