#include "generator/ExtendedStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Vectors of 12 bytes: a counter in the first four, a mix of it in the rest, so
// that they differ in every position the digest reads.
std::vector<char> Vector(uint32_t k) {
    std::vector<char> v(12);
    uint64_t z = k + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    std::memcpy(v.data(), &k, 4);
    std::memcpy(v.data() + 4, &z, 8);
    return v;
}

// The table's whole contract: what was inserted is found under its number, what was
// not is absent, through every growth of the index and across slabs, by both kinds
// of lookup, with probes prepared before the growths they outlive.
TEST(ExtendedStoreTest, FindsEveryStateUnderItsNumberThroughGrowth) {
    ExtendedStore store(12);
    // The index grows six times; the copies fill a slab of 2^20 states and start a
    // second.
    const uint32_t n = 1100000;
    std::vector<HybridHash::Probe> early;
    for (uint32_t k = 1; k <= n; k++) {
        const std::vector<char> v = Vector(k);
        ASSERT_EQ(store.Lookup(v.data()), -1) << k;
        if (k % 10000 == 0 && k < n)
            early.push_back(store.Prepare(Vector(k + 1).data()));
        store.Insert(v.data(), k);
    }
    EXPECT_EQ(store.States(), n);
    for (uint32_t k = 1; k <= n; k++) {
        const std::vector<char> v = Vector(k);
        HybridHash::Probe probe = store.Prepare(v.data());
        store.FetchCandidate(v.data(), probe);
        ASSERT_EQ(store.Lookup(v.data(), probe), k);
        ASSERT_EQ(std::memcmp(store.CopyOf(k), v.data(), v.size()), 0);
    }
    // Probes prepared before the index grew still find their states.
    for (size_t i = 0; i < early.size(); i++) {
        const uint32_t k = static_cast<uint32_t>((i + 1) * 10000 + 1);
        HybridHash::Probe probe = early[i];
        store.FetchCandidate(Vector(k).data(), probe);
        EXPECT_EQ(store.Lookup(Vector(k).data(), probe), k);
    }
    for (uint32_t k = n + 1; k <= n + 1000; k++)
        EXPECT_EQ(store.Lookup(Vector(k).data()), -1);
}

TEST(ExtendedStoreDeathTest, CountingPastTheLastNumberEndsTheRun) {
    ExtendedStore store(4);
    const std::vector<char> v = Vector(1);
    EXPECT_EXIT(store.Insert(v.data(), 0), ::testing::ExitedWithCode(1),
                ::testing::HasSubstr("Error: the state space has more states than the extended "
                                     "state storage can hold (4294967295 states)"));
}

} // namespace
