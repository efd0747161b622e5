// Lookups go through the digest index and, for states it does not hold, through a
// walk of the table; insertions after a missed lookup reuse where the walk ended.
// These tests hold all of that to the answers and table positions of the plain
// algorithm: every state found under its number, absent ones not found, entries
// written into the table from outside still compared, and the very same table
// contents whether or not lookups came before the insertions.

#include "generator/HybridHash.h"

#include "BaseClasses/PVModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

class BytesModel : public PVModel {
  public:
    explicit BytesModel(int size) : size(size) {}
    bool CompareState(void* a, void* b) override { return std::memcmp(a, b, size) == 0; }
    PerformanceVariableNode* createPVNode(int, int) override { return nullptr; }
    int size;
};

constexpr uint32_t kN = 131071;

// Distinct eight-byte states, sparse like markings: small values in a few bytes.
std::vector<char> Sparse(uint32_t n) {
    std::vector<char> s(8, 0);
    s[0] = static_cast<char>(n % 7);
    s[2] = static_cast<char>((n / 7) % 11);
    s[3] = static_cast<char>((n / 77) % 13);
    s[5] = static_cast<char>((n / 1001) % 17);
    s[7] = static_cast<char>(n / 17017);
    return s;
}

TEST(HybridHashDivisorTest, RemainderAndQuotientMatchDivision) {
    std::vector<uint32_t> divisors = {1,      2,     3,           7,           10,         1000,
                                      100000, 65536, 2147483647u, 2147483648u, 4294967295u};
    for (int i = 0; HybridHash::PrimeArray[i] != 0; i++)
        divisors.push_back(HybridHash::PrimeArray[i]);
    std::mt19937 rng(7);
    for (uint32_t d : divisors) {
        const HybridHash::Divisor div(d);
        std::vector<uint32_t> values = {0,         1,           d - 1,       d,          d + 1,
                                        2 * d - 1, 4294967295u, 4294967294u, 0x80000000u};
        for (int k = 0; k < 20000; k++)
            values.push_back(static_cast<uint32_t>(rng()));
        for (uint32_t a : values) {
            ASSERT_EQ(div.Remainder(a), a % d) << a << " mod " << d;
            ASSERT_EQ(div.Quotient(a), a / d) << a << " / " << d;
        }
    }
}

class HybridHashLookupTest : public ::testing::Test {
  protected:
    BytesModel model8{8};
};

TEST_F(HybridHashLookupTest, StatesAreFoundAcrossGrowthOfIndexAndTable) {
    // 200000 states: the table grows three times, the index (2^17 slots, grown at 70%)
    // twice, each time computing the digests again from the stored copies.
    HybridHash h(&model8, 8, kN, 100000, 5, 128, 0.5);
    for (uint32_t n = 1; n <= 200000; n++) {
        ASSERT_EQ(h.Lookup(Sparse(n).data()), -1) << "state " << n << " before insertion";
        h.Insert(Sparse(n).data(), n);
    }
    EXPECT_EQ(h.tableSize, 786419u);
    for (uint32_t n = 1; n <= 200000; n++)
        ASSERT_EQ(h.Lookup(Sparse(n).data()), static_cast<int32_t>(n)) << "state " << n;
    for (uint32_t n = 200001; n <= 210000; n++)
        ASSERT_EQ(h.Lookup(Sparse(n).data()), -1) << "state " << n;
}

TEST_F(HybridHashLookupTest, NumbersWithGapsAreFoundAcrossIndexGrowth) {
    // The index computes its digests again when it grows, taking the states in
    // number order when the numbers are 1, 2, 3, ... and its own entries otherwise.
    // Odd numbers only: 100000 states grow the index (2^17 slots, 70%) once.
    HybridHash h(&model8, 8, kN, 100000, 5, 128, 1.0);
    for (uint32_t k = 0; k < 100000; k++)
        h.Insert(Sparse(2 * k + 1).data(), 2 * k + 1);
    for (uint32_t k = 0; k < 100000; k++) {
        ASSERT_EQ(h.Lookup(Sparse(2 * k + 1).data()), static_cast<int32_t>(2 * k + 1)) << k;
        ASSERT_EQ(h.Lookup(Sparse(2 * k + 2).data()), -1) << k;
    }
}

TEST_F(HybridHashLookupTest, InsertionsAfterLookupsPlaceEntriesAsWithout) {
    // One table sees each state looked up (missing) before its insertion, sometimes
    // with another state's lookup or insertion in between; the other sees insertions
    // only. The slot taken by every insertion, and finally the whole table, agree.
    // 70000 states cross the table's first growth.
    HybridHash looked(&model8, 8, kN, 100000, 5, 128, 0.5);
    HybridHash plain(&model8, 8, kN, 100000, 5, 128, 0.5);
    for (uint32_t n = 1; n <= 70000; n++) {
        const std::vector<char> s = Sparse(n);
        ASSERT_EQ(looked.Lookup(const_cast<char*>(s.data())), -1) << "state " << n;
        if (n % 3 == 0) {
            // A later state's lookup comes between: its walk is the last one.
            std::vector<char> next = Sparse(n + 1);
            looked.Lookup(next.data());
        }
        looked.Insert(const_cast<char*>(s.data()), n);
        plain.Insert(const_cast<char*>(s.data()), n);
        ASSERT_EQ(looked.scratchIndex, plain.scratchIndex) << "state " << n;
        ASSERT_EQ(looked.scratchProbe, plain.scratchProbe) << "state " << n;
        ASSERT_EQ(looked.scratchHash, plain.scratchHash) << "state " << n;
    }
    ASSERT_EQ(looked.tableSize, plain.tableSize);
    for (uint32_t i = 0; i < plain.tableSize; i++)
        ASSERT_EQ(looked.table[i], plain.table[i]) << "slot " << i;
}

TEST_F(HybridHashLookupTest, MissedStateInsertedAfterAnotherTakesItsOwnFirstEmptySlot) {
    // Two states with one home slot: both are looked up (missing) while the home slot
    // is free; the first insertion takes it, so the second must move on along its
    // probe sequence, whatever its lookup saw.
    BytesModel model4(4);
    HybridHash h(&model4, 4, kN, 100000, 5, 128, 0.5);
    const uint32_t fold = 5000;
    char a[4] = {0, static_cast<char>(fold >> 10), static_cast<char>((fold >> 5) & 31),
                 static_cast<char>(fold & 31)};
    const uint32_t other = fold + kN;
    char b[4] = {static_cast<char>(other >> 15), static_cast<char>((other >> 10) & 31),
                 static_cast<char>((other >> 5) & 31), static_cast<char>(other & 31)};
    ASSERT_EQ(h.HomeSlot(a), fold);
    ASSERT_EQ(h.HomeSlot(b), fold);
    EXPECT_EQ(h.Lookup(a), -1);
    EXPECT_EQ(h.Lookup(b), -1);
    h.Insert(a, 1);
    h.Insert(b, 2);
    EXPECT_EQ(h.table[fold], 1u);
    EXPECT_EQ(h.table[fold + 1024], 2u);
    EXPECT_EQ(h.Lookup(a), 1);
    EXPECT_EQ(h.Lookup(b), 2);
}

TEST_F(HybridHashLookupTest, PreparedLookupsAgreeAfterInsertionsAndGrowth) {
    // Probes are prepared, then many states are inserted (the index and the table
    // both grow), then each probe is used: the answers are those of a fresh lookup,
    // and an absent state inserted after its prepared lookup lands where it lands in
    // a twin table that saw no lookups.
    HybridHash h(&model8, 8, kN, 100000, 5, 128, 0.5);
    HybridHash twin(&model8, 8, kN, 100000, 5, 128, 0.5);
    for (uint32_t n = 1; n <= 1000; n++) {
        h.Insert(Sparse(n).data(), n);
        twin.Insert(Sparse(n).data(), n);
    }
    std::vector<std::vector<char>> states;
    std::vector<HybridHash::Probe> probes;
    for (uint32_t n = 1; n <= 3000; n += 7) {
        states.push_back(Sparse(n));
        probes.push_back(h.Prepare(states.back().data()));
        h.FetchCandidate(states.back().data(), probes.back());
    }
    std::vector<char> absent = Sparse(150000);
    HybridHash::Probe absentProbe = h.Prepare(absent.data());
    h.FetchCandidate(absent.data(), absentProbe);
    for (uint32_t n = 1001; n <= 100000; n++) {
        h.Insert(Sparse(n).data(), n);
        twin.Insert(Sparse(n).data(), n);
    }
    ASSERT_GT(h.rehashCount, 0);
    for (size_t k = 0; k < states.size(); k++) {
        const int32_t expected = static_cast<int32_t>(1 + 7 * k);
        EXPECT_EQ(h.Lookup(states[k].data(), probes[k]), expected) << "probe " << k;
        EXPECT_EQ(h.Lookup(states[k].data()), expected) << "probe " << k;
    }
    EXPECT_EQ(h.Lookup(absent.data(), absentProbe), -1);
    h.Insert(absent.data(), 100001);
    twin.Insert(absent.data(), 100001);
    EXPECT_EQ(h.scratchIndex, twin.scratchIndex);
    EXPECT_EQ(h.scratchProbe, twin.scratchProbe);
    EXPECT_EQ(h.Lookup(absent.data()), 100001);
}

TEST_F(HybridHashLookupTest, EntryWrittenIntoTheTableFromOutsideIsCompared) {
    // State 2 never went through Insert: its bytes are put into the storage and its
    // entry into its home slot by hand. A lookup still finds it there, as the walk of
    // the table always did; a state that is neither inserted nor written is absent.
    HybridHash h(&model8, 8, kN, 100000, 5, 128, 0.5);
    h.Insert(Sparse(1).data(), 1);
    const std::vector<char> b = Sparse(2);
    std::memcpy(h.blocks[0][2], b.data(), 8);
    const uint32_t home = h.HomeSlot(b.data());
    ASSERT_EQ(h.table[home], 0u);
    h.table[home] = 2;
    EXPECT_EQ(h.Lookup(const_cast<char*>(b.data())), 2);
    EXPECT_EQ(h.Lookup(Sparse(3).data()), -1);
    EXPECT_EQ(h.Lookup(Sparse(1).data()), 1);
}

} // namespace
