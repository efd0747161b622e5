#include "generator/queue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned kStateSize = 6;

// A state whose bytes spell its number, so that a moved or overwritten slot shows.
struct TestState {
    char bytes[kStateSize];
    state_struct s;
    explicit TestState(uint32_t n) {
        std::memcpy(bytes, &n, sizeof(n));
        bytes[4] = static_cast<char>(n % 251);
        bytes[5] = static_cast<char>(0x80 | (n % 7));
        s.state = bytes;
        s.number = n;
    }
};

bool Holds(const state_struct* slot, uint32_t n) {
    TestState expected(n);
    return slot != nullptr && slot->number == n &&
           std::memcmp(slot->state, expected.bytes, kStateSize) == 0;
}

void EnqueueRange(Queue& q, uint32_t first, uint32_t last) {
    for (uint32_t n = first; n <= last; n++) {
        TestState t(n);
        q.Enqueue(&t.s);
    }
}

// Dequeues everything and checks that the numbers come out as first, first + 1, ...
void ExpectDrainsInOrder(Queue& q, uint32_t first, uint32_t last) {
    for (uint32_t n = first; n <= last; n++) {
        const state_struct* slot = q.Dequeue();
        ASSERT_TRUE(Holds(slot, n)) << "state " << n;
    }
    EXPECT_EQ(q.Dequeue(), nullptr);
    EXPECT_EQ(q.count, 0);
}

TEST(QueueTest, NewQueueHasOneRingOf5000Slots) {
    Queue q(kStateSize);
    EXPECT_EQ(q.capacity, 5000);
    EXPECT_EQ(q.front, 1);
    EXPECT_EQ(q.rear, 0);
    EXPECT_EQ(q.count, 0);
    EXPECT_EQ(q.growth, 1);
    for (int i = 0; i < q.capacity; i++) {
        ASSERT_NE(q.slots[i], nullptr) << "slot " << i;
        ASSERT_NE(q.slots[i]->state, nullptr) << "slot " << i;
    }
}

TEST(QueueTest, FirstStateLandsInSlotOneAndLeavesFirst) {
    Queue q(kStateSize);
    EXPECT_EQ(q.Dequeue(), nullptr);
    EnqueueRange(q, 1, 2);
    EXPECT_TRUE(Holds(q.slots[1], 1));
    EXPECT_TRUE(Holds(q.slots[2], 2));
    EXPECT_EQ(q.rear, 2);
    const state_struct* first = q.Dequeue();
    EXPECT_EQ(first, q.slots[1]);
    EXPECT_TRUE(Holds(first, 1));
    EXPECT_EQ(q.front, 2);
    EXPECT_EQ(q.count, 1);
}

TEST(QueueTest, EnqueueCopiesTheCallersBytes) {
    Queue q(kStateSize);
    TestState t(42);
    q.Enqueue(&t.s);
    t.bytes[0] = 0;
    t.s.number = 7;
    EXPECT_TRUE(Holds(q.Dequeue(), 42));
}

TEST(QueueTest, FullRingWithoutGrowthWrapsAround) {
    // Slot 0 is the last one filled by the first 5000 states: rear wraps to it.
    Queue q(kStateSize);
    EnqueueRange(q, 1, 5000);
    EXPECT_EQ(q.capacity, 5000);
    EXPECT_EQ(q.rear, 0);
    EXPECT_TRUE(Holds(q.slots[0], 5000));
    ExpectDrainsInOrder(q, 1, 5000);
}

TEST(QueueTest, The5001stStateGrowsTheRingKeepingOrder) {
    Queue q(kStateSize);
    EnqueueRange(q, 1, 5001);
    EXPECT_EQ(q.capacity, 10000);
    EXPECT_EQ(q.growth, 2);
    EXPECT_EQ(q.count, 5001);
    EXPECT_EQ(q.front, 1);
    EXPECT_EQ(q.rear, 5001);
    ExpectDrainsInOrder(q, 1, 5001);
}

TEST(QueueTest, GrowthIsLinearBy5000) {
    Queue q(kStateSize);
    const struct {
        uint32_t states;
        int capacity;
    } cases[] = {{5000, 5000}, {5001, 10000}, {10000, 10000}, {10001, 15000}, {15001, 20000}};
    uint32_t held = 0;
    for (const auto& c : cases) {
        EnqueueRange(q, held + 1, c.states);
        held = c.states;
        EXPECT_EQ(q.capacity, c.capacity) << "after " << c.states << " states";
    }
    ExpectDrainsInOrder(q, 1, held);
}

TEST(QueueTest, WrappedRingKeepsOrderWhenItGrows) {
    // Move front near the end of the array, then fill so that rear wraps to the start.
    Queue q(kStateSize);
    EnqueueRange(q, 1, 4990);
    for (uint32_t n = 1; n <= 4980; n++)
        ASSERT_TRUE(Holds(q.Dequeue(), n)) << "state " << n;
    EnqueueRange(q, 4991, 9980);
    ASSERT_EQ(q.count, 5000);
    EXPECT_EQ(q.front, 4981);
    EXPECT_LT(q.rear, q.front);
    EXPECT_EQ(q.capacity, 5000);

    EnqueueRange(q, 9981, 9981);
    EXPECT_EQ(q.capacity, 10000);
    EXPECT_EQ(q.front, 1);
    EXPECT_EQ(q.rear, 5001);
    ExpectDrainsInOrder(q, 4981, 9981);
}

TEST(QueueTest, InterleavedUseKeepsFifoAcrossSeveralGrowths) {
    Queue q(kStateSize);
    uint32_t next = 1, expected = 1;
    for (int round = 0; round < 40; round++) {
        const uint32_t in = 700 + 37 * round, out = 300 + 11 * round;
        EnqueueRange(q, next, next + in - 1);
        next += in;
        for (uint32_t k = 0; k < out; k++, expected++)
            ASSERT_TRUE(Holds(q.Dequeue(), expected)) << "round " << round << " state " << expected;
    }
    EXPECT_GT(q.capacity, 5000);
    ExpectDrainsInOrder(q, expected, next - 1);
}

TEST(QueueTest, DequeuedSlotIsOverwrittenByLaterEnqueues) {
    Queue q(kStateSize);
    EnqueueRange(q, 1, 1);
    const state_struct* slot = q.Dequeue();
    char copy[kStateSize];
    std::memcpy(copy, slot->state, kStateSize);
    // Slot 1 comes round again with the 5000th state enqueued after it.
    EnqueueRange(q, 2, 5001);
    EXPECT_EQ(q.capacity, 5000);
    EXPECT_TRUE(Holds(slot, 5001));
    EXPECT_EQ(std::memcmp(copy, TestState(1).bytes, kStateSize), 0);
}

// A sanitizer build reports a use after free here if growth released the slot
// handed out by the last Dequeue().
TEST(QueueTest, LastDequeuedSlotSurvivesGrowth) {
    Queue q(kStateSize);
    EnqueueRange(q, 1, 5000);
    const state_struct* slot = q.Dequeue();
    ASSERT_TRUE(Holds(slot, 1));
    EnqueueRange(q, 5001, 5002); // refills the ring, then grows it
    ASSERT_EQ(q.capacity, 10000);
    for (int i = 0; i < q.capacity; i++)
        ASSERT_NE(q.slots[i], slot) << "slot " << i << " of the new ring";
    EXPECT_EQ(slot->number, 5001u);
    // A second growth without a Dequeue() in between still keeps it.
    EnqueueRange(q, 5003, 10002);
    ASSERT_EQ(q.capacity, 15000);
    EXPECT_EQ(slot->number, 5001u);
    ExpectDrainsInOrder(q, 2, 10002);
}

TEST(QueueTest, MakeEmptyForgetsHeldStates) {
    Queue q(kStateSize);
    EnqueueRange(q, 1, 10);
    q.Make_Empty();
    EXPECT_EQ(q.Dequeue(), nullptr);
    EXPECT_EQ(q.front, 1);
    EXPECT_EQ(q.rear, 0);
    EnqueueRange(q, 20, 22);
    EXPECT_TRUE(Holds(q.slots[1], 20));
    ExpectDrainsInOrder(q, 20, 22);
}

TEST(QueueTest, IncrementWrapsAtCapacity) {
    Queue q(kStateSize);
    const struct { int from, to; } cases[] = {{0, 1}, {1, 2}, {4998, 4999}, {4999, 0}};
    for (const auto& c : cases) {
        int i = c.from;
        q.Increment(i);
        EXPECT_EQ(i, c.to) << "from " << c.from;
    }
}

TEST(QueueTest, PrintDumpsHeldStatesOldestFirst) {
    Queue q(2);
    char a[2] = {1, -2}, b[2] = {127, -128};
    state_struct sa{a, 1}, sb{b, 2};
    q.Enqueue(&sa);
    q.Enqueue(&sb);
    testing::internal::CaptureStdout();
    q.Print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1 -2 \n127 -128 \n");
}

TEST(QueueTest, MissingSlotObjectOnDequeueWarnsAndReturnsNull) {
    Queue q(kStateSize);
    EnqueueRange(q, 1, 1);
    state_struct* saved = q.slots[1];
    q.slots[1] = nullptr;
    testing::internal::CaptureStdout();
    EXPECT_EQ(q.Dequeue(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "warning, returning NULL\n");
    q.slots[1] = saved;
    EXPECT_TRUE(Holds(q.Dequeue(), 1));
}

TEST(QueueDeathTest, SlotWithoutBufferEndsTheRun) {
    EXPECT_EXIT(
        {
            Queue q(kStateSize);
            delete[] q.slots[1]->state;
            q.slots[1]->state = nullptr;
            TestState t(1);
            q.Enqueue(&t.s);
        },
        ::testing::ExitedWithCode(1),
        ::testing::HasSubstr(" Error: queue pointer is null...exiting "));
}

} // namespace
