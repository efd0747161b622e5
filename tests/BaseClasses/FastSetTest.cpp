#include "BaseClasses/FastSet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Frozen(FastSet& set) {
    std::vector<int> out;
    for (int i = 0; i < set.size(); i++)
        out.push_back(set[i]);
    return out;
}

TEST(FastSetTest, BuildFormFindsAndIgnoresDuplicates) {
    FastSet set;
    EXPECT_FALSE(set.is_vec_rep);
    EXPECT_TRUE(set.empty());
    for (int v : {5, 1, 5, 3})
        set.insert(v);
    EXPECT_FALSE(set.empty());
    for (int v : {1, 3, 5})
        EXPECT_TRUE(set.find(v)) << v;
    for (int v : {0, 2, 4, 6, -5})
        EXPECT_FALSE(set.find(v)) << v;
}

TEST(FastSetTest, FreezingSortsAscending) {
    struct Case {
        std::vector<int> inserted, frozen;
    } cases[] = {
        {{5, 1, 5, 3}, {1, 3, 5}},
        {{}, {}},
        {{-2, 7, -9, 0, 7}, {-9, -2, 0, 7}},
        {{42}, {42}},
    };
    for (const Case& c : cases) {
        FastSet set;
        for (int v : c.inserted)
            set.insert(v);
        set.NoMoreModifications();
        EXPECT_TRUE(set.is_vec_rep);
        EXPECT_EQ(set.size(), static_cast<int>(c.frozen.size()));
        EXPECT_EQ(Frozen(set), c.frozen) << "case of " << c.inserted.size() << " inserts";
    }
}

TEST(FastSetTest, FreezingAnEmptySetLeavesNoArray) {
    FastSet set;
    set.NoMoreModifications();
    EXPECT_EQ(set.size(), 0);
    EXPECT_EQ(set.values, nullptr);
}

TEST(FastSetTest, ClearKeepsTheForm) {
    FastSet building;
    building.insert(4);
    building.clear();
    EXPECT_FALSE(building.is_vec_rep);
    EXPECT_TRUE(building.empty());
    building.insert(2);
    EXPECT_TRUE(building.find(2));

    FastSet frozen;
    frozen.insert(4);
    frozen.insert(8);
    frozen.NoMoreModifications();
    frozen.clear();
    EXPECT_TRUE(frozen.is_vec_rep);
    EXPECT_EQ(frozen.size(), 0);
    EXPECT_EQ(frozen.values, nullptr);
}

TEST(FastSetTest, IndexedReadIsAReference) {
    FastSet set;
    set.insert(10);
    set.insert(20);
    set.NoMoreModifications();
    set[1] = 25;
    EXPECT_EQ(set[1], 25);
}

// The form checks are assertions; a build without them has nothing to test here.
class FastSetDeathTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef NDEBUG
        GTEST_SKIP() << "assertions are compiled out";
#endif
    }
};

TEST_F(FastSetDeathTest, BuildFormOperationsOnAFrozenSet) {
    FastSet set;
    set.insert(1);
    set.NoMoreModifications();
    EXPECT_DEATH(set.insert(2), "!is_vec_rep");
    EXPECT_DEATH(set.find(1), "!is_vec_rep");
    EXPECT_DEATH(set.empty(), "!is_vec_rep");
    EXPECT_DEATH(set.NoMoreModifications(), "!is_vec_rep");
}

TEST_F(FastSetDeathTest, FrozenFormReadsOnASetBeingBuilt) {
    FastSet set;
    set.insert(1);
    // "is_vec_rep" without the negation in front of it.
    EXPECT_DEATH(set[0], "[^!]is_vec_rep");
    EXPECT_DEATH(set.size(), "[^!]is_vec_rep");
}

} // namespace
