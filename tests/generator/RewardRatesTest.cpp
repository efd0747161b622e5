#include "generator/RewardRates.h"

#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "generator/Reward.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

class TestPV : public PerformanceVariableNode {
  public:
    TestPV(const char* name, bool impulse) {
        Name = new char[std::strlen(name) + 1];
        std::strcpy(Name, name);
        // Only the count is read: whether the variable declares impulse rewards.
        NumImpulses = impulse ? 1 : 0;
    }
    ~TestPV() override { NumImpulses = 0; }
    void CreateWorkerList() override {}
};

// A reward model that only carries performance variables, owned by the test.
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

class RewardRatesTest : public ::testing::Test {
  protected:
    std::string path = ::testing::TempDir() + "reward_rates_test.rates";
    std::string var = ::testing::TempDir() + "reward_rates_test.var";
    std::vector<std::unique_ptr<TestPV>> pvs;
};

// A rate reward is written in full exactly when the reward file's 6 digits do not
// read back as the same double.
TEST_F(RewardRatesTest, RateRewardsThatSixDigitsDoNotHoldAreWrittenInFull) {
    const struct {
        double rate;
        const char* line; // "" when the reward file holds it exactly
    } cases[] = {
        {0.5, ""},
        {1e-05, ""},
        {0.1, ""}, // "0.1" reads back as the very double 0.1
        {-2.25, ""},
        {123456, ""},
        {1e300, ""},
        {0.0, ""},
        {1.0 / 3, "R 1 1 0.3333333333333333\n"},
        {1234567, "R 1 1 1234567\n"},   // written 1.23457e+06
        {123456.5, "R 1 1 123456.5\n"}, // written 123456 or 123457
        {1100.0 / 3, "R 1 1 366.6666666666667\n"},
        {std::numeric_limits<double>::quiet_NaN(), ""}, // refused by every reader anyway
        {std::numeric_limits<double>::infinity(), ""},
    };
    pvs.push_back(std::make_unique<TestPV>("r", false));
    PVsOnlyModel model(pvs);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        RewardRates rates(&model, path.c_str());
        // Twice: the second time the verdict comes from the table of known values.
        for (int k = 0; k < 2; k++) {
            const double captured[2] = {7.0, c.rate};
            rates.NewState(1, captured);
        }
        ASSERT_TRUE(rates.Finish(1));
        EXPECT_EQ("Version:1\nNumPV:1\nName:r\nImpulse:0\n" + std::string(c.line) + c.line +
                      "End:1\n",
                  testsupport::ReadFile(path));
    }
}

TEST_F(RewardRatesTest, ImpulseRatesThatAreNotZeroAndUnavailableOnesAreWritten) {
    pvs.push_back(std::make_unique<TestPV>("a", true));
    pvs.push_back(std::make_unique<TestPV>("b", false));
    pvs.push_back(std::make_unique<TestPV>("c", true));
    PVsOnlyModel model(pvs);
    RewardRates rates(&model, path.c_str());
    EXPECT_TRUE(rates.AnyImpulse());
    EXPECT_EQ(3u, rates.Variables());
    const double none[3] = {0, 0, 0};
    const unsigned char available[3] = {0, 0, 0};
    rates.Explored(1, none, available);
    const double some[3] = {45.25, 0, 0.1 + 0.2};
    const unsigned char third[3] = {0, 0, 1};
    rates.Explored(2, some, available);
    rates.Explored(3, none, third);
    ASSERT_TRUE(rates.Finish(3));
    EXPECT_EQ("Version:1\nNumPV:3\nName:a\nImpulse:1\nName:b\nImpulse:0\nName:c\nImpulse:1\n"
              "I 2 1 45.25\nI 2 3 0.30000000000000004\nI 3 3 unavailable\nEnd:3\n",
              testsupport::ReadFile(path));
}

TEST_F(RewardRatesTest, AModelWithoutImpulsesGathersNone) {
    pvs.push_back(std::make_unique<TestPV>("a", false));
    PVsOnlyModel model(pvs);
    RewardRates rates(&model, path.c_str());
    EXPECT_FALSE(rates.AnyImpulse());
    std::vector<std::unique_ptr<TestPV>> nothing;
    PVsOnlyModel empty(nothing);
    RewardRates none(&empty, path.c_str());
    EXPECT_FALSE(none.AnyImpulse());
    ASSERT_TRUE(none.Finish(1));
    EXPECT_EQ("Version:1\nNumPV:0\nEnd:1\n", testsupport::ReadFile(path));
}

// Every record the reward file gets goes to the reward-rate file too, with the
// rewards it was written from.
TEST_F(RewardRatesTest, TheRewardFileHandsOnEveryRecord) {
    pvs.push_back(std::make_unique<TestPV>("a", false));
    pvs.push_back(std::make_unique<TestPV>("b", false));
    PVsOnlyModel model(pvs);
    RewardRates rates(&model, path.c_str());
    {
        Reward reward(&model, 1, var.c_str());
        reward.rates = &rates;
        pvs[0]->RateValue = 2.0 / 3;
        pvs[1]->RateValue = 1;
        reward.Calculate(1);
        const double captured[4] = {0, 1, 0, 1.0 / 7};
        reward.Calculate(2, captured);
    }
    ASSERT_TRUE(rates.Finish(2));
    EXPECT_EQ("Version:1\nNumPV:2\nName:a\nImpulse:0\nName:b\nImpulse:0\n"
              "R 1 1 0.6666666666666666\nR 2 2 0.14285714285714285\nEnd:2\n",
              testsupport::ReadFile(path));
}

class RewardRatesDeathTest : public RewardRatesTest {};

TEST_F(RewardRatesDeathTest, UnopenableFileEndsTheRun) {
    PVsOnlyModel model(pvs);
    const std::string bad = ::testing::TempDir() + "no_such_directory/x.rates";
    EXPECT_EXIT(RewardRates(&model, bad.c_str()), ::testing::ExitedWithCode(1),
                ::testing::HasSubstr("Error: Could not open reward rate file"));
}

} // namespace
