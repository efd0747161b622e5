#include "BaseClasses/List.h"

#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <sys/resource.h>
#include <vector>

class BaseStateVariableClass;

namespace {

// The list never dereferences its items, so distinct addresses inside one array
// stand for distinct items.
using Item = BaseStateVariableClass;

class ListTest : public ::testing::Test {
  protected:
    char storage[64] = {};
    Item* item(int i) { return reinterpret_cast<Item*>(&storage[i]); }

    static std::vector<Item*> Contents(const List<Item>& list) {
        return std::vector<Item*>(list.getList(), list.getList() + list.getNumItems());
    }
    void Fill(List<Item>& list, int count) {
        for (int i = 0; i < count; i++)
            list.append(item(i));
    }
};

TEST_F(ListTest, NewListsHaveNullSlots) {
    for (int n : {1, 3, 10, 17}) {
        List<Item> list(n);
        EXPECT_EQ(list.getNumItems(), 0) << n;
        ASSERT_EQ(list.arraySize, n) << n;
        for (int i = 0; i < n; i++)
            EXPECT_EQ(list.items[i], nullptr) << n << " slot " << i;
    }
    List<Item> byDefault;
    EXPECT_EQ(byDefault.arraySize, 10);
    EXPECT_EQ(byDefault.numItems, 0);
}

TEST_F(ListTest, AppendKeepsOrderAndSkipsHeldItems) {
    List<Item> list;
    list.append(item(0));
    list.append(item(0));
    EXPECT_EQ(list.getNumItems(), 1);
    list.append(item(1));
    list.append(item(2));
    list.append(item(1));
    EXPECT_EQ(Contents(list), (std::vector<Item*>{item(0), item(1), item(2)}));
    EXPECT_TRUE(list.contains(item(2)));
    EXPECT_FALSE(list.contains(item(3)));
    EXPECT_EQ(list.getItem(1), item(1));
    EXPECT_EQ(list[2], item(2));
}

// Growth happens at the tenth slot of a default list: the 11th distinct item is
// the first that needs a new slot.
TEST_F(ListTest, AppendDoublesAFullArray) {
    List<Item> list;
    Fill(list, 10);
    EXPECT_EQ(list.arraySize, 10);
    list.append(item(10));
    EXPECT_EQ(list.arraySize, 20);
    EXPECT_EQ(list.getNumItems(), 11);
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(list[i], item(i)) << i;
    for (int i = 11; i < 20; i++)
        EXPECT_EQ(list.items[i], nullptr) << i;
}

TEST_F(ListTest, FullListGrowsEvenForAHeldItem) {
    List<Item> list;
    Fill(list, 10);
    list.append(item(4));
    EXPECT_EQ(list.arraySize, 20);
    EXPECT_EQ(list.getNumItems(), 10);
}

TEST_F(ListTest, AppendArrayAppliesSingleAppends) {
    List<Item> list(2);
    Item* batch[] = {item(0), item(1), item(0), item(2), item(3)};
    list.append(batch, 5);
    EXPECT_EQ(Contents(list), (std::vector<Item*>{item(0), item(1), item(2), item(3)}));
    EXPECT_EQ(list.arraySize, 4);
    list.append(batch, 0);
    list.append(batch, -3);
    EXPECT_EQ(list.getNumItems(), 4);
    EXPECT_EQ(list.arraySize, 4);
}

TEST_F(ListTest, AppendListGrowsOnceToTwiceTheSum) {
    List<Item> list;
    Fill(list, 10);
    List<Item> other;
    other.append(item(20));
    other.append(item(3)); // already held
    other.append(item(21));
    list.append(&other);
    EXPECT_EQ(list.arraySize, 26);
    EXPECT_EQ(list.getNumItems(), 12);
    EXPECT_EQ(list[10], item(20));
    EXPECT_EQ(list[11], item(21));
}

TEST_F(ListTest, AppendListWithRoomDoesNotGrow) {
    List<Item> list;
    Fill(list, 3);
    List<Item> other;
    other.append(item(1));
    other.append(item(5));
    list.append(&other);
    EXPECT_EQ(list.arraySize, 10);
    EXPECT_EQ(Contents(list), (std::vector<Item*>{item(0), item(1), item(2), item(5)}));
}

TEST_F(ListTest, InsertItemSkipsHeldItemsAndNeverGrows) {
    List<Item> list(3);
    list.insertItem(item(0));
    list.insertItem(item(0));
    list.insertItem(item(1));
    EXPECT_EQ(list.getNumItems(), 2);
    EXPECT_EQ(list.arraySize, 3);
}

TEST_F(ListTest, RemoveMovesTheLastItemIntoTheGap) {
    struct Case {
        int removed;
        std::vector<int> expected;
    } cases[] = {{0, {2, 1}}, {1, {0, 2}}, {2, {0, 1}}, {7, {0, 1, 2}}};
    for (const Case& c : cases) {
        List<Item> list;
        Fill(list, 3);
        list.remove(item(c.removed));
        std::vector<Item*> expected;
        for (int i : c.expected)
            expected.push_back(item(i));
        EXPECT_EQ(Contents(list), expected) << "removing " << c.removed;
    }
}

TEST_F(ListTest, ReplaceItem) {
    struct Case {
        int oldItem, newItem;
        std::vector<int> expected;
    } cases[] = {
        {0, 9, {9, 1, 2}}, // new item not held: takes the old one's place
        {0, 2, {2, 1}},    // both held: the old one is removed
        {1, 0, {0, 2}},    //
        {5, 9, {0, 1, 2}}, // old item not held: nothing changes
    };
    for (const Case& c : cases) {
        List<Item> list;
        Fill(list, 3);
        list.replaceItem(item(c.oldItem), item(c.newItem));
        std::vector<Item*> expected;
        for (int i : c.expected)
            expected.push_back(item(i));
        EXPECT_EQ(Contents(list), expected) << c.oldItem << " -> " << c.newItem;
    }
}

TEST_F(ListTest, RemoveSetOfItemsPacksSurvivorsInOrder) {
    List<Item> list;
    Fill(list, 6);
    List<Item> set;
    set.append(item(4));
    set.append(item(1));
    set.append(item(8)); // not held
    list.removeSetOfItems(set);
    EXPECT_EQ(Contents(list), (std::vector<Item*>{item(0), item(2), item(3), item(5)}));
    EXPECT_EQ(list.arraySize, 10);
    // The set is taken by value and must come out intact.
    EXPECT_EQ(set.getNumItems(), 3);
    EXPECT_EQ(set[1], item(1));
}

TEST_F(ListTest, RemoveSetOfItemsWithEmptySetKeepsEverything) {
    List<Item> list;
    Fill(list, 4);
    List<Item> set;
    list.removeSetOfItems(set);
    EXPECT_EQ(list.getNumItems(), 4);
}

TEST_F(ListTest, ClearListReusesTheArray) {
    List<Item> list;
    Fill(list, 4);
    Item** before = list.getList();
    list.clearList();
    EXPECT_EQ(list.getNumItems(), 0);
    EXPECT_EQ(list.items[3], item(3)) << "old contents stay";
    list.append(item(7));
    EXPECT_EQ(list.getList(), before);
    EXPECT_EQ(list[0], item(7));
    EXPECT_EQ(list.arraySize, 10);
}

TEST_F(ListTest, IncreaseArraySizeCopiesAndNullFills) {
    List<Item> list(2);
    Fill(list, 2);
    list.increaseArraySize(5);
    EXPECT_EQ(list.arraySize, 5);
    EXPECT_EQ(list.getNumItems(), 2);
    EXPECT_EQ(list[0], item(0));
    EXPECT_EQ(list[1], item(1));
    for (int i = 2; i < 5; i++)
        EXPECT_EQ(list.items[i], nullptr) << i;
}

TEST_F(ListTest, PrintListOfEmptyList) {
    List<Item> list;
    testing::internal::CaptureStdout();
    list.printList();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No items in the list\n");
}

TEST_F(ListTest, PrintListWritesSlotAndAddress) {
    List<Item> list;
    Fill(list, 2);
    std::ostringstream expected;
    expected << "[0] " << static_cast<void*>(item(0)) << "\n"
             << "[1] " << static_cast<void*>(item(1)) << "\n";
    testing::internal::CaptureStdout();
    list.printList();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected.str());
}

// A failed growth allocation is forced by capping the address space in the child.
TEST_F(ListTest, GrowthFailureReportsAndExits) {
    if (testsupport::kSanitized)
        GTEST_SKIP() << "a sanitizer cannot run under a capped address space";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto grow = [this] {
        List<Item> list;
        Fill(list, 3);
        rlimit limit{512L << 20, 512L << 20};
        setrlimit(RLIMIT_AS, &limit);
        list.increaseArraySize(1 << 28); // 2 GiB of slots
    };
    EXPECT_EXIT(grow(), ::testing::ExitedWithCode(1),
                ::testing::HasSubstr("!! Crtical error in List<C>::append(List*) do to "
                                     "insufficient memory...exiting\n"
                                     "Insufficient Memory to allocate dynamic data structures "
                                     "from heap memory\nExiting program...\n"));
}

} // namespace
