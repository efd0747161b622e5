#include "generator/DeterministicList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<int> StatesOf(const RateInfoType& g) {
    return std::vector<int>(g.states, g.states + g.numStates);
}

TEST(DeterministicListTest, StartsEmptyWithRoomForTwoGroups) {
    DeterministicList list;
    EXPECT_EQ(list.RateInfoSize, 0);
    EXPECT_EQ(list.RateInfoCapacity, 2);
    EXPECT_EQ(list.rateInfo[0].stateCapacity, 10);
    EXPECT_TRUE(list.rateInfo[0].ownsStates);
}

TEST(DeterministicListTest, GroupsByDelayInOrderOfFirstAppearance) {
    DeterministicList list;
    const struct {
        int state;
        double delay;
    } reports[] = {{1, 0.5}, {2, 0.25}, {3, 0.5}, {3, 0.5}, {4, 2.0}, {5, 0.25}};
    for (const auto& r : reports)
        list.insertEnablingState(r.state, r.delay);
    ASSERT_EQ(list.RateInfoSize, 3);
    EXPECT_EQ(list.rateInfo[0].Value, 0.5);
    EXPECT_EQ(StatesOf(list.rateInfo[0]), (std::vector<int>{1, 3, 3}));
    EXPECT_EQ(list.rateInfo[1].Value, 0.25);
    EXPECT_EQ(StatesOf(list.rateInfo[1]), (std::vector<int>{2, 5}));
    EXPECT_EQ(list.rateInfo[2].Value, 2.0);
    EXPECT_EQ(StatesOf(list.rateInfo[2]), (std::vector<int>{4}));
}

TEST(DeterministicListTest, DelaysAreToldApartByExactEquality) {
    DeterministicList list;
    const double a = 0.1 + 0.2, b = 0.3;
    ASSERT_NE(a, b);
    list.insertEnablingState(1, a);
    list.insertEnablingState(2, b);
    list.insertEnablingState(3, 0.1 + 0.2);
    ASSERT_EQ(list.RateInfoSize, 2);
    EXPECT_EQ(StatesOf(list.rateInfo[0]), (std::vector<int>{1, 3}));
    EXPECT_EQ(StatesOf(list.rateInfo[1]), (std::vector<int>{2}));
}

TEST(DeterministicListTest, GroupArrayDoublesAndMovesStateArrays) {
    DeterministicList list;
    const struct {
        int groups, capacity;
    } steps[] = {{1, 2}, {2, 2}, {3, 4}, {4, 4}, {5, 8}, {9, 16}};
    int made = 0;
    for (const auto& step : steps) {
        const int* firstStates = made > 0 ? list.rateInfo[0].states : nullptr;
        for (; made < step.groups; made++) {
            for (int k = 0; k < 12; k++) // past the first state-array growth
                list.insertEnablingState(100 * made + k, 1.0 + made);
        }
        EXPECT_EQ(list.RateInfoSize, step.groups);
        EXPECT_EQ(list.RateInfoCapacity, step.capacity) << "with " << step.groups << " groups";
        if (firstStates != nullptr) {
            EXPECT_EQ(list.rateInfo[0].states, firstStates) << "moved, not copied";
        }
    }
    for (int g = 0; g < made; g++) {
        ASSERT_EQ(list.rateInfo[g].numStates, 12) << "group " << g;
        EXPECT_TRUE(list.rateInfo[g].ownsStates) << "group " << g;
        EXPECT_EQ(list.rateInfo[g].Value, 1.0 + g);
        for (int k = 0; k < 12; k++)
            EXPECT_EQ(list.rateInfo[g].states[k], 100 * g + k) << "group " << g << " state " << k;
    }
}

TEST(RateInfoTypeTest, StateArrayDoublesFromTen) {
    RateInfoType group;
    const struct {
        int states, capacity;
    } steps[] = {{10, 10}, {11, 20}, {20, 20}, {21, 40}, {41, 80}};
    int made = 0;
    for (const auto& step : steps) {
        for (; made < step.states; made++)
            group.insertState(made * 3);
        EXPECT_EQ(group.stateCapacity, step.capacity) << "with " << step.states << " states";
    }
    for (int i = 0; i < made; i++)
        ASSERT_EQ(group.states[i], i * 3) << "position " << i;
}

TEST(RateInfoTypeTest, GroupThatGaveAwayItsArrayDoesNotReleaseIt) {
    int* shared = new int[10];
    {
        RateInfoType donor;
        delete[] donor.states;
        donor.states = shared;
        donor.ownsStates = false;
    } // a release here makes the delete below a double free
    shared[0] = 1;
    delete[] shared;
}

TEST(DeterministicListTest, TextFormForOneDelay) {
    DeterministicList list;
    list.insertEnablingState(1, 0.00347);
    std::ostringstream out;
    list.writeEnablingStates(out, TextOutput);
    EXPECT_EQ(out.str(), "1\n3.4700000000e-03\n1\n0\n");
}

TEST(DeterministicListTest, TextFormForSeveralDelays) {
    DeterministicList list;
    list.insertEnablingState(1, 2.5);
    list.insertEnablingState(2, 1234.5);
    list.insertEnablingState(3, 2.5);
    list.insertEnablingState(12345, 1e-12);
    std::ostringstream out;
    list.writeEnablingStates(out, TextOutput);
    EXPECT_EQ(out.str(), "3\n"
                         "2.5000000000e+00\n1\n3\n0\n"
                         "1.2345000000e+03\n2\n0\n"
                         "1.0000000000e-12\n12345\n0\n");
}

TEST(DeterministicListTest, EmptyListWritesASingleZero) {
    DeterministicList list;
    std::ostringstream out;
    list.writeEnablingStates(out, TextOutput);
    EXPECT_EQ(out.str(), "0\n");
}

TEST(DeterministicListTest, TextFormLeavesTheStreamFormatAlone) {
    DeterministicList list;
    list.insertEnablingState(1, 0.5);
    std::ostringstream out;
    list.writeEnablingStates(out, TextOutput);
    out << 0.25;
    EXPECT_EQ(out.str(), "1\n5.0000000000e-01\n1\n0\n0.25");
}

TEST(DeterministicListTest, BinaryForm) {
    DeterministicList list;
    list.insertEnablingState(7, 0.5);
    list.insertEnablingState(300, 0.5);
    list.insertEnablingState(9, 4.0);
    std::ostringstream out;
    list.writeEnablingStates(out, BinaryOutput);

    std::string expected;
    auto put = [&expected](const auto& v) {
        expected.append(reinterpret_cast<const char*>(&v), sizeof(v));
    };
    put(int32_t{2});
    put(0.5);
    put(int32_t{7});
    put(int32_t{300});
    put(int16_t{0});
    put(4.0);
    put(int32_t{9});
    put(int16_t{0});
    EXPECT_EQ(out.str(), expected);
}

TEST(DeterministicListTest, PrintEnablingStatesDump) {
    DeterministicList list;
    list.insertEnablingState(4, 0.5);
    list.insertEnablingState(6, 0.5);
    list.insertEnablingState(8, 2.0);
    testing::internal::CaptureStdout();
    list.printEnablingStates();
    const std::string dashes = "-----------------------------------\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              dashes +
                  "RateInfoSize = 2\nRateInfoCapacity = 2\nValue = 0.5\n[0] 4\n[1] 6\n"
                  "RateInfoSize = 2\nRateInfoCapacity = 2\nValue = 2\n[0] 8\n" +
                  dashes);
}

TEST(RateInfoTypeTest, PrintStatesDump) {
    RateInfoType group;
    group.Value = 0.125;
    group.insertState(3);
    testing::internal::CaptureStdout();
    group.printStates();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "-----------------------------------\nValue = 0.125\n[0] 3\n"
              "-----------------------------------\n");
}

} // namespace
