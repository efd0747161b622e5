// After each firing the generator loads the explored state back into a composed
// model by writing only the places whose bytes differ from the state the firing
// reached. That must leave the model exactly as a full SetState would: every place,
// shared or not, at any depth of composition.

#include "Composer/Join.h"

#include "../Composer/TestModels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Current(Join& j) {
    Bytes out(static_cast<size_t>(j.StateSize()));
    j.CurrentState(out.data());
    return out;
}

// Random states that differ from `base` in a few two-byte cells, as firings do,
// and sometimes in every cell.
Bytes Vary(const Bytes& base, std::mt19937& rng, int round) {
    Bytes v = base;
    std::uniform_int_distribution<size_t> cell(0, base.size() / 2 - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    const int changes = round % 5 == 0 ? static_cast<int>(base.size()) : 1 + round % 3;
    for (int k = 0; k < changes; k++) {
        const size_t c = cell(rng);
        v[2 * c] = static_cast<unsigned char>(byte(rng));
        v[2 * c + 1] = static_cast<unsigned char>(byte(rng) % 3);
    }
    return v;
}

template <class Model> void ExpectRestoreEqualsSetState() {
    Model restored, loaded;
    std::mt19937 rng(5);
    Bytes explored = Current(restored);
    ASSERT_EQ(explored, Current(loaded));
    for (int round = 0; round < 500; round++) {
        // The model reaches `held` by a firing; the explored state is loaded back.
        const Bytes held = Vary(explored, rng, round);
        restored.SetState(const_cast<unsigned char*>(held.data()));
        ASSERT_EQ(Current(restored), held) << "round " << round;
        restored.RestoreState(explored.data(), held.data());
        loaded.SetState(explored.data());
        ASSERT_EQ(Current(restored), explored) << "round " << round;
        ASSERT_EQ(Current(restored), Current(loaded)) << "round " << round;
        explored = Vary(explored, rng, round + 1);
        restored.SetState(explored.data());
    }
}

TEST(StateRestoreTest, JoinOfTwoModelsOverASharedPlace) {
    ExpectRestoreEqualsSetState<testmodels::left_rightRJ>();
}

TEST(StateRestoreTest, NestedJoinSharingAtEveryDepth) {
    ExpectRestoreEqualsSetState<testmodels::nestedRJ>();
}

TEST(StateRestoreTest, SharedCellsReachEveryEquivalentPlace) {
    testmodels::left_rightRJ j;
    Bytes explored = Current(j);
    Bytes held = explored;
    held[6] = 9; // the join's shared s
    j.SetState(held.data());
    ASSERT_EQ(9, j.left->s->getMark());
    j.RestoreState(explored.data(), held.data());
    EXPECT_EQ(explored[6], j.s->getMark());
    EXPECT_EQ(explored[6], j.left->s->getMark());
    EXPECT_EQ(explored[6], j.right->s->getMark());
}

} // namespace
