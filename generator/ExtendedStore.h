#ifndef EXTENDEDSTORE_H
#define EXTENDEDSTORE_H

#include "generator/HybridHash.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The state table of gen -x, for state spaces beyond what the default table can
// number: states 1 to 2^32 - 1, kept in as little memory as a lookup table allows.
//
// - Storage: the state copies lie one after another in slabs of 2^20 states, a new
//   slab allocated when the last one is full, so state n is at a fixed place found
//   by arithmetic, with no pointer per state.
// - Index: a power-of-two array of 64-bit entries, the state's 32-bit digest above
//   its number (0: an empty slot), placed by linear probing from a slot mixed out of
//   the digest. A state is found where its digest matches and its stored copy has
//   the same bytes. The array doubles when it is 75% full, re-placing the entries
//   from the digests they hold: no state is read again.
//
// Memory per state: the state vector itself plus 10.7 to 21.3 bytes of index.
//
// The lookups go in the steps of HybridHash (Prepare, FetchCandidate, Lookup), so
// that a batch of them overlaps its cache misses, with the same Probe.
class ExtendedStore {
  public:
    static constexpr uint32_t kMaxStates = UINT32_MAX;

    ExtendedStore(uint32_t stateSize);
    ExtendedStore(const ExtendedStore&) = delete;
    ExtendedStore& operator=(const ExtendedStore&) = delete;

    // Adds a state known to be absent; numbers come as 1, 2, 3, ... without gaps. A
    // number of 0 is the count wrapping past kMaxStates: the run ends with a message.
    void Insert(const char* state, uint32_t number);
    // The state's number, or -1 if it is absent.
    int64_t Lookup(const char* state);

    HybridHash::Probe Prepare(const char* state) {
        return Prepare(HybridHash::Digest(state, size_));
    }
    HybridHash::Probe Prepare(uint32_t digest);
    void FetchCandidate(const char* state, HybridHash::Probe& probe);
    int64_t Lookup(const char* state, const HybridHash::Probe& probe);

    uint64_t States() const { return count_; }
    // The bytes held, for the report.
    uint64_t Bytes() const;
    const char* CopyOf(uint32_t number) const {
        const uint64_t k = number - 1;
        return slabs_[k >> kSlabBits].get() + (k & (kSlabStates - 1)) * size_;
    }

  private:
    static constexpr int kSlabBits = 20;
    static constexpr uint64_t kSlabStates = uint64_t(1) << kSlabBits;

    uint64_t Home(uint32_t digest) const {
        return ((digest * 0x9E3779B97F4A7C15ULL) >> 17) & mask_;
    }
    void Grow();
    // Whether a probe's slot is still the state's home slot: the index has not grown
    // since, and its slots fit the probe's 32 bits.
    bool Current(const HybridHash::Probe& probe) const;

    uint32_t size_;
    uint64_t count_ = 0;
    std::vector<std::unique_ptr<char[]>> slabs_;
    std::unique_ptr<uint64_t[]> index_;
    uint64_t mask_ = 0;
    int growths_ = 0;
};

#endif
