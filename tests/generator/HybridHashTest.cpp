#include "generator/HybridHash.h"

#include "BaseClasses/PVModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

} // namespace
