#include "generator/HybridHash.h"

#include "BaseClasses/PVModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

// Only CompareState matters to the hash table: byte equality of `size` bytes.
class BytesModel : public PVModel {
  public:
    explicit BytesModel(int size) : size(size) {}
    bool CompareState(void* a, void* b) override { return std::memcmp(a, b, size) == 0; }
    PerformanceVariableNode* createPVNode(int, int) override { return nullptr; }
    int size;
};

constexpr uint32_t kN = 131071;
constexpr uint32_t kDefaultBlock = 100000;

// Reference arithmetic of the hash, written out from its definition.
uint32_t Fold(const std::vector<char>& v, size_t from, size_t to) {
    uint32_t c = 0;
    for (size_t i = from; i < to; i++)
        c = (c << 5) ^ static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(v[i])));
    return c;
}

uint32_t ReferenceHome(const std::vector<char>& v, uint32_t n, uint32_t m) {
    uint32_t h = 0;
    for (size_t from = 0; from < v.size(); from += 5) {
        const uint32_t c = Fold(v, from, std::min(from + 5, v.size()));
        if (c != 0)
            h = (h * m) ^ (c % n);
    }
    return h % n;
}

// Four bytes whose fold is v (v < 2^22): the bytes do not overlap after shifting.
std::vector<char> WithFold(uint32_t v) {
    std::vector<char> s = {static_cast<char>(v >> 15), static_cast<char>((v >> 10) & 31),
                           static_cast<char>((v >> 5) & 31), static_cast<char>(v & 31)};
    EXPECT_EQ(Fold(s, 0, 4), v) << "helper for fold " << v;
    return s;
}

// Distinct four-byte states for distinct numbers. The odd multiplier spreads the
// bits: the bytes of n itself fold onto a few multiples of 1024 and make long chains.
std::vector<char> Numbered(uint32_t n) {
    const uint32_t mixed = n * 2654435761u;
    std::vector<char> s(4);
    std::memcpy(s.data(), &mixed, 4);
    return s;
}

class HybridHashTest : public ::testing::Test {
  protected:
    BytesModel model4{4};

    // The slot holding an entry, or -1.
    static long SlotOf(const HybridHash& h, uint32_t entry) {
        for (uint32_t i = 0; i < h.tableSize; i++)
            if (h.table[i] == entry)
                return i;
        return -1;
    }
    static uint32_t Occupied(const HybridHash& h) {
        uint32_t k = 0;
        for (uint32_t i = 0; i < h.tableSize; i++)
            k += h.table[i] != 0;
        return k;
    }
    static void InsertNumbered(HybridHash& h, uint32_t first, uint32_t last) {
        for (uint32_t n = first; n <= last; n++)
            h.Insert(Numbered(n).data(), n);
    }
    static void ExpectAllFound(HybridHash& h, uint32_t last) {
        for (uint32_t n = 1; n <= last; n++)
            ASSERT_EQ(h.Lookup(Numbered(n).data()), static_cast<int32_t>(n)) << "state " << n;
    }
};

TEST_F(HybridHashTest, ConstructionAsTheGeneratorBuildsIt) {
    HybridHash h(&model4, 4, kN, kDefaultBlock, 5, 128, 0.5);
    EXPECT_EQ(h.tableSize, kN);
    EXPECT_EQ(Occupied(h), 0u);
    EXPECT_EQ(h.currentBlock, 0);
    EXPECT_EQ(h.rehashCount, 0);
    EXPECT_EQ(h.insertCount, 0);
    EXPECT_EQ(h.MaxStates(), 12799999u);
    EXPECT_EQ(h.Lookup(Numbered(1).data()), -1);
}

TEST_F(HybridHashTest, StateCountReachingTheLoadFactorGrowsTheTable) {
    // 65536 = first n with n >= 131071 * 0.5.
    HybridHash h(&model4, 4, kN, kDefaultBlock, 5, 128, 0.5);
    InsertNumbered(h, 1, 65535);
    EXPECT_EQ(h.tableSize, kN);
    EXPECT_EQ(h.rehashCount, 0);
    InsertNumbered(h, 65536, 65536);
    EXPECT_EQ(h.tableSize, 393209u);
    EXPECT_EQ(h.rehashCount, 1);
    EXPECT_EQ(Occupied(h), 65536u);
    EXPECT_EQ(h.insertCount, 65536);
    ExpectAllFound(h, 65536);
    EXPECT_EQ(h.Lookup(Numbered(65537).data()), -1);
}

TEST_F(HybridHashTest, LoadFactorSetsTheGrowthPoint) {
    // Growth comes with the first n >= slots × factor; 131070 × 0.5 is exact, so
    // state 65535 itself must grow the table.
    const struct {
        uint32_t slots;
        double factor;
        uint32_t lastWithoutGrowth;
    } cases[] = {{kN, 0.25, 32767}, {kN, 0.75, 98303}, {131070, 0.5, 65534}};
    for (const auto& c : cases) {
        HybridHash h(&model4, 4, c.slots, kDefaultBlock, 5, 128, c.factor);
        InsertNumbered(h, 1, c.lastWithoutGrowth);
        EXPECT_EQ(h.tableSize, c.slots) << c.slots << " slots, factor " << c.factor;
        InsertNumbered(h, c.lastWithoutGrowth + 1, c.lastWithoutGrowth + 1);
        EXPECT_EQ(h.tableSize, 393209u) << c.slots << " slots, factor " << c.factor;
        ExpectAllFound(h, c.lastWithoutGrowth + 1);
    }
}

TEST_F(HybridHashTest, LoadFactorOutsideZeroToOneIsReplaced) {
    const struct {
        double given, used;
    } cases[] = {{1.5, 1.0}, {1.0, 1.0}, {0.0, 0.5}, {-2.0, 0.5}, {NAN, 0.5}, {0.3, 0.3}};
    for (const auto& c : cases) {
        HybridHash h(&model4, 4, kN, 10, 5, 2, c.given);
        EXPECT_EQ(h.hashLoadFactor, c.used) << "given " << c.given;
    }
}

TEST_F(HybridHashTest, StateOfTheBlockSizeOpensTheSecondBlock) {
    HybridHash h(&model4, 4, kN, kDefaultBlock, 5, 128, 0.5);
    InsertNumbered(h, 1, 99999);
    EXPECT_EQ(h.currentBlock, 0);
    EXPECT_EQ(SlotOf(h, 99999), h.scratchIndex);
    EXPECT_EQ(std::memcmp(h.blocks[0][99999], Numbered(99999).data(), 4), 0);

    InsertNumbered(h, 100000, 100001);
    EXPECT_EQ(h.currentBlock, 1);
    const uint32_t entry = (1u << 24) + 100000;
    EXPECT_GE(SlotOf(h, entry), 0) << "entry 2^24 + 100000";
    EXPECT_EQ(SlotOf(h, 100000), -1) << "no entry without its block";
    EXPECT_EQ(std::memcmp(h.blocks[1][0], Numbered(100000).data(), 4), 0);
    EXPECT_EQ(std::memcmp(h.blocks[1][1], Numbered(100001).data(), 4), 0);
    ExpectAllFound(h, 100001);
}

TEST_F(HybridHashTest, CollidingStatesProbeByTheStepAndAreAllFound) {
    // For four bytes the home slot is the fold modulo N, so folds that differ by N
    // collide. Each table row: home slot of the chain, then the slots the second and
    // third member take (step 1024, the jump growing by one step at a time, or
    // wrapping past the end back to the first step).
    const struct {
        uint32_t fold;
        uint32_t second, third;
    } cases[] = {{5, 5 + 1024, 5 + 1024 + 2048},
                 {kN - 100, kN - 100 + 1024 - kN, kN - 100 + 1024 - kN + 1024},
                 {kN - 2000, kN - 2000 + 1024, kN - 2000 + 1024 + 2048 - kN}};
    for (const auto& c : cases) {
        HybridHash h(&model4, 4, kN, kDefaultBlock, 5, 128, 0.5);
        const auto a = WithFold(c.fold), b = WithFold(c.fold + kN), d = WithFold(c.fold + 2 * kN);
        ASSERT_EQ(h.HomeSlot(a.data()), c.fold % kN);
        ASSERT_EQ(h.HomeSlot(b.data()), h.HomeSlot(a.data()));
        ASSERT_EQ(h.HomeSlot(d.data()), h.HomeSlot(a.data()));
        h.Insert(const_cast<char*>(a.data()), 1);
        h.Insert(const_cast<char*>(b.data()), 2);
        EXPECT_EQ(h.scratchProbe, 1) << "fold " << c.fold;
        h.Insert(const_cast<char*>(d.data()), 3);
        EXPECT_EQ(h.scratchProbe, 2) << "fold " << c.fold;
        EXPECT_EQ(h.table[c.fold % kN], 1u) << "fold " << c.fold;
        EXPECT_EQ(h.table[c.second], 2u) << "fold " << c.fold;
        EXPECT_EQ(h.table[c.third], 3u) << "fold " << c.fold;
        EXPECT_EQ(h.Lookup(const_cast<char*>(a.data())), 1);
        EXPECT_EQ(h.Lookup(const_cast<char*>(b.data())), 2);
        EXPECT_EQ(h.Lookup(const_cast<char*>(d.data())), 3);
        EXPECT_EQ(h.Lookup(WithFold(c.fold + 3 * kN).data()), -1) << "same chain, absent";
    }
}

TEST_F(HybridHashTest, RehashReplacesEntriesInOldSlotOrderWithTheNewStep) {
    // Folds v and v + 393209 only collide after growth. In the old table the second
    // state sits 4 slots lower (393209 = 3N − 4), so it is re-placed first and takes
    // the home slot; the first moves one new step (2048) on.
    HybridHash h(&model4, 4, kN, kDefaultBlock, 5, 128, 0.5);
    const uint32_t v = 5000;
    const auto a = WithFold(v), b = WithFold(v + 393209);
    h.Insert(const_cast<char*>(a.data()), 1);
    h.Insert(const_cast<char*>(b.data()), 2);
    ASSERT_EQ(h.table[v], 1u);
    ASSERT_EQ(h.table[v - 4], 2u);
    h.Rehash();
    EXPECT_EQ(h.tableSize, 393209u);
    EXPECT_EQ(Occupied(h), 2u);
    EXPECT_EQ(h.table[v], 2u);
    EXPECT_EQ(h.table[v + 2048], 1u);
    EXPECT_EQ(h.Lookup(const_cast<char*>(a.data())), 1);
    EXPECT_EQ(h.Lookup(const_cast<char*>(b.data())), 2);
}

TEST_F(HybridHashTest, MultiplierFollowsTheNonzeroLeadingChunks) {
    // z full chunks with nonzero values, then a one-byte last chunk. The last chunk
    // never counts, and zero chunks neither count nor change the hash: with the
    // first of three chunks zero, z is 2 (multiplier 16), not 3 (8).
    const struct {
        int z;
        uint32_t multiplier;
        bool zeroFirstChunk;
    } cases[] = {{0, 16, false}, {1, 16, false}, {2, 16, false}, {3, 8, false},
                 {4, 8, false},  {5, 4, false},  {8, 4, false},  {9, 2, false},
                 {16, 2, false}, {17, 1, false}, {20, 1, false}, {3, 16, true}};
    for (const auto& c : cases) {
        std::vector<char> s(5 * c.z + 1, 0);
        for (int i = 0; i < c.z; i++) {
            s[5 * i] = static_cast<char>(-1 - i); // sign-extended: large chunk values
            s[5 * i + 4] = static_cast<char>(i + 3);
        }
        if (c.zeroFirstChunk)
            std::fill(s.begin(), s.begin() + 5, 0);
        s.back() = 9;
        const uint32_t home = ReferenceHome(s, kN, c.multiplier);
        if (c.z > 1) {
            for (uint32_t other : {1u, 2u, 4u, 8u, 16u}) {
                if (other != c.multiplier) {
                    ASSERT_NE(ReferenceHome(s, kN, other), home) << "z " << c.z;
                }
            }
        }
        BytesModel model(static_cast<int>(s.size()));
        HybridHash h(&model, static_cast<uint32_t>(s.size()), kN, 10, 5, 2, 0.5);
        EXPECT_EQ(h.HomeSlot(s.data()), home) << "z " << c.z;
        h.Insert(s.data(), 1);
        EXPECT_EQ(h.table[home], 1u) << "z " << c.z;
        EXPECT_EQ(h.Lookup(s.data()), 1) << "z " << c.z;
    }
}

TEST_F(HybridHashTest, SixByteStateUsesMultiplier16) {
    std::vector<char> s = {1, 2, 3, 4, 5, 6};
    const uint32_t c0 = Fold(s, 0, 5), c1 = 6;
    BytesModel model(6);
    HybridHash h(&model, 6, kN, 10, 5, 2, 0.5);
    EXPECT_EQ(h.HomeSlot(s.data()), (((c0 % kN) * 16) ^ c1) % kN);
    EXPECT_NE(h.HomeSlot(s.data()), ((c0 % kN) ^ c1) % kN);
}

TEST_F(HybridHashTest, BytesAreReadAsSignedValues) {
    // 0x80 contributes 0xFFFFFF80, not 128.
    BytesModel model(1);
    HybridHash h(&model, 1, kN, 10, 5, 2, 0.5);
    char s[1] = {static_cast<char>(0x80)};
    EXPECT_EQ(h.HomeSlot(s), 0xFFFFFF80u % kN);
    EXPECT_NE(h.HomeSlot(s), 128u);
    char t[2] = {static_cast<char>(0xFF), 3};
    BytesModel model2(2);
    HybridHash h2(&model2, 2, kN, 10, 5, 2, 0.5);
    EXPECT_EQ(h2.HomeSlot(t), ((0xFFFFFFFFu << 5) ^ 3u) % kN);
}

TEST_F(HybridHashTest, AbsentStatesAreNotFound) {
    HybridHash h(&model4, 4, kN, kDefaultBlock, 5, 128, 0.5);
    InsertNumbered(h, 1, 1000);
    for (uint32_t n : {0u, 1001u, 5000u, 0xFFFFFFFFu})
        EXPECT_EQ(h.Lookup(Numbered(n).data()), -1) << "state " << n;
}

TEST_F(HybridHashTest, DamagedEntryIsClearedAndReportedAbsent) {
    const uint32_t damaged[] = {(5u << 24) + 3,  // block never allocated
                                150000,          // position beyond block 0
                                (1u << 24) + 7}; // number below its block's range
    for (uint32_t entry : damaged) {
        HybridHash h(&model4, 4, kN, kDefaultBlock, 5, 128, 0.5);
        const auto s = Numbered(77);
        const uint32_t home = h.HomeSlot(s.data());
        h.table[home] = entry;
        EXPECT_EQ(h.Lookup(const_cast<char*>(s.data())), -1) << "entry " << entry;
        EXPECT_EQ(h.table[home], 0u) << "entry " << entry;
    }
}

TEST_F(HybridHashTest, RehashDropsDamagedEntries) {
    HybridHash h(&model4, 4, kN, kDefaultBlock, 5, 128, 0.5);
    InsertNumbered(h, 1, 500);
    for (uint32_t i = 0; i < h.tableSize; i++) {
        if (h.table[i] == 0) {
            h.table[i] = (9u << 24) + 1;
            break;
        }
    }
    ASSERT_EQ(Occupied(h), 501u);
    h.Rehash();
    EXPECT_EQ(Occupied(h), 500u);
    ExpectAllFound(h, 500);
}

TEST(HybridHashLimitTest, StorageLimitIsBoundByBlocksAndTheNumberField) {
    const struct {
        uint32_t perBlock, blocks, limit;
    } cases[] = {{100000, 128, 12799999}, {10, 2, 19},         {1u << 23, 2, 16777215},
                 {1u << 23, 4, 16777215}, {1000, 300, 255999}, {100000, 300, 16777215}};
    for (const auto& c : cases)
        EXPECT_EQ(HybridHash::StorageLimit(c.perBlock, c.blocks), c.limit)
            << c.perBlock << " per block, " << c.blocks << " blocks";
}

TEST(HybridHashLimitTest, PrimeListIsIncreasingAndEndsWithZero) {
    const uint32_t expected[] = {131071,   393209,   786419,   1179637,  1966049,
                                 2752481,  4325341,  6684607,  9437101,  15335303,
                                 21000169, 31000303, 51000353, 71000383, 0};
    for (size_t i = 0; i < sizeof(expected) / sizeof(expected[0]); i++)
        EXPECT_EQ(HybridHash::PrimeArray[i], expected[i]) << "position " << i;
}

TEST(HybridHashPrintTest, PrintStateWritesTwentyValuesPerLine) {
    std::vector<char> s(25);
    for (int i = 0; i < 25; i++)
        s[i] = static_cast<char>(i == 3 ? -128 : i);
    testing::internal::CaptureStdout();
    printstate(s.data(), 25, "label");
    std::string expected = "STATEVECTOR (label)\n";
    for (int i = 0; i < 25; i++) {
        expected += std::to_string(i == 3 ? -128 : i) + " ";
        if (i == 19)
            expected += "\n";
    }
    expected += "\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
}

class HybridHashDeathTest : public HybridHashTest {};

TEST_F(HybridHashDeathTest, StateBeyondTheStorageEndsTheRunUntouched) {
    HybridHash h(&model4, 4, kN, 10, 5, 2, 0.5);
    InsertNumbered(h, 1, 19);
    EXPECT_EQ(h.currentBlock, 1);
    EXPECT_EXIT(h.Insert(Numbered(20).data(), 20), ::testing::ExitedWithCode(1),
                ::testing::HasSubstr("Error: the state space has more states than the state "
                                     "storage can hold (19 states)"));
    ExpectAllFound(h, 19);
}

TEST_F(HybridHashDeathTest, ExhaustedPrimeListEndsTheRun) {
    HybridHash h(&model4, 4, kN, 10, 5, 2, 0.5);
    h.rehashCount = 13; // the next size is the terminating 0
    EXPECT_EXIT(h.Rehash(), ::testing::ExitedWithCode(1),
                ::testing::HasSubstr("Hash:  Error:  allocate more memory for Hash Table"));
}

TEST_F(HybridHashDeathTest, ShrinkingSizeEndsTheRun) {
    HybridHash h(&model4, 4, 500000, 10, 5, 2, 0.5);
    EXPECT_EXIT(
        h.Rehash(), ::testing::ExitedWithCode(1),
        ::testing::HasSubstr("Hash:  Error, there is a typo in the Hash Table, check .h file"));
}

// Lookups go through the digest index and, for states it does not hold, through a
// walk of the table; insertions after a missed lookup reuse where the walk ended.
// These tests hold all of that to the answers and table positions of the plain
// algorithm: every state found under its number, absent ones not found, entries
// written into the table from outside still compared, and the very same table
// contents whether or not lookups came before the insertions.

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
