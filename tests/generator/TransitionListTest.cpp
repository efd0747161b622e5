// A state's transitions are collected firing by firing and merged once the state is
// explored. The merged record must equal what adding each firing into an ordered map
// gives, bit for bit: the same destinations in ascending order, and sums whose
// additions come in the same order (floating-point addition is not associative).

#include "generator/StateSpaceGen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <vector>

namespace {

struct Firing {
    uint32_t destination;
    double rate;
};

void ExpectSameAsMap(TransitionList& list, const std::vector<Firing>& firings,
                     const std::string& label) {
    std::map<uint32_t, double> map;
    list.clear();
    for (const Firing& f : firings) {
        map[f.destination] += f.rate;
        list.Add(f.destination, f.rate);
    }
    list.Finish();
    ASSERT_EQ(list.size(), map.size()) << label;
    auto m = map.begin();
    for (const auto& e : list) {
        ASSERT_EQ(e.first, m->first) << label;
        // Bitwise: 0.1 + 0.2 + 0.3 and 0.3 + 0.2 + 0.1 differ in the last bit.
        ASSERT_EQ(std::memcmp(&e.second, &m->second, sizeof(double)), 0)
            << label << " destination " << e.first << ": " << e.second << " vs " << m->second;
        ++m;
    }
}

TEST(TransitionListTest, SumsInFiringOrderLikeAnOrderedMap) {
    TransitionList list;
    // Rates whose sum depends on the order of addition.
    ExpectSameAsMap(list, {{5, 0.1}, {2, 1.0}, {5, 0.2}, {5, 0.3}}, "increasing");
    ExpectSameAsMap(list, {{5, 0.3}, {2, 1.0}, {5, 0.2}, {5, 0.1}}, "decreasing");
    ExpectSameAsMap(list, {{9, 1e16}, {9, 1.0}, {9, -1e16}}, "cancelling");
    ExpectSameAsMap(list, {}, "empty");
    ExpectSameAsMap(list, {{3, 2.5}}, "single");
    ExpectSameAsMap(list, {{3, -0.0}}, "negative zero becomes 0.0 + -0.0");
}

TEST(TransitionListTest, RandomFiringsOfEveryFanOut) {
    // Fan-outs around the switch from insertion sort to stable_sort (32 entries).
    std::mt19937 rng(99);
    TransitionList list;
    for (int fanOut : {1, 2, 3, 8, 31, 32, 33, 64, 500}) {
        for (int round = 0; round < 50; round++) {
            std::uniform_int_distribution<uint32_t> dest(1, fanOut / 2 + 1);
            std::uniform_real_distribution<double> rate(1e-3, 10.0);
            std::vector<Firing> firings;
            for (int k = 0; k < fanOut; k++)
                firings.push_back({dest(rng), rate(rng)});
            ExpectSameAsMap(list, firings,
                            "fan-out " + std::to_string(fanOut) + " round " +
                                std::to_string(round));
        }
    }
}

TEST(TransitionListTest, ClearEmptiesTheList) {
    TransitionList list;
    list.Add(4, 1.0);
    EXPECT_FALSE(list.empty());
    list.clear();
    EXPECT_TRUE(list.empty());
    list.Finish();
    EXPECT_EQ(list.begin(), list.end());
}

} // namespace
