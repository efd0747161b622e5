#include "generator/ExtendedStore.h"

#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/StandardErrors.h"

#include <cstring>
#include <iostream>
#include <new>
#include <string>

namespace {

constexpr uint64_t kInitialSlots = uint64_t(1) << 16;

uint64_t* NewIndex(uint64_t slots) {
    uint64_t* index = new (std::nothrow) uint64_t[slots];
    if (index == nullptr)
        MemoryAllocationError();
    std::memset(index, 0, slots * sizeof(uint64_t));
    return index;
}

uint32_t NumberOf(uint64_t entry) {
    return static_cast<uint32_t>(entry);
}

uint32_t DigestOf(uint64_t entry) {
    return static_cast<uint32_t>(entry >> 32);
}

} // namespace

ExtendedStore::ExtendedStore(uint32_t stateSize)
    : size_(stateSize > 0 ? stateSize : 1), index_(NewIndex(kInitialSlots)),
      mask_(kInitialSlots - 1) {}

uint64_t ExtendedStore::Bytes() const {
    return slabs_.size() * kSlabStates * size_ + (mask_ + 1) * sizeof(uint64_t);
}

void ExtendedStore::Grow() {
    const uint64_t slots = (mask_ + 1) * 2;
    std::unique_ptr<uint64_t[]> old(index_.release());
    const uint64_t oldSlots = mask_ + 1;
    index_.reset(NewIndex(slots));
    mask_ = slots - 1;
    growths_++;
    for (uint64_t s = 0; s < oldSlots; s++) {
        const uint64_t e = old[s];
        if (e == 0)
            continue;
        uint64_t p = Home(DigestOf(e));
        while (index_[p] != 0)
            p = (p + 1) & mask_;
        index_[p] = e;
    }
}

void ExtendedStore::Insert(const char* state, uint32_t number) {
    if (number == 0)
        Fatal(std::cerr, "Error: the state space has more states than the extended state "
                         "storage can hold (" +
                             std::to_string(kMaxStates) + " states)\n");
    const uint64_t k = static_cast<uint64_t>(number) - 1;
    if ((k >> kSlabBits) >= slabs_.size()) {
        char* slab = new (std::nothrow) char[kSlabStates * size_];
        if (slab == nullptr)
            MemoryAllocationError();
        slabs_.emplace_back(slab);
    }
    std::memcpy(slabs_[k >> kSlabBits].get() + (k & (kSlabStates - 1)) * size_, state, size_);
    count_ = number;
    if (count_ * 4 > (mask_ + 1) * 3)
        Grow();
    const uint32_t digest = HybridHash::Digest(state, size_);
    uint64_t p = Home(digest);
    while (index_[p] != 0)
        p = (p + 1) & mask_;
    index_[p] = (static_cast<uint64_t>(digest) << 32) | number;
}

HybridHash::Probe ExtendedStore::Prepare(uint32_t digest) {
    HybridHash::Probe probe{};
    probe.digest = digest;
    probe.slot = 0;
    probe.home = 0;
    probe.rehashes = -1;
    probe.growths = growths_;
    const uint64_t p = Home(digest);
    probe.slot = static_cast<uint32_t>(p); // see Current()
    __builtin_prefetch(&index_[p]);
    return probe;
}

bool ExtendedStore::Current(const HybridHash::Probe& probe) const {
    // A slot beyond 32 bits does not fit the probe: such an index recomputes it.
    return probe.growths == growths_ && mask_ <= UINT32_MAX;
}

void ExtendedStore::FetchCandidate(const char* /*state*/, HybridHash::Probe& probe) {
    if (!Current(probe)) {
        probe = Prepare(probe.digest);
        if (!Current(probe))
            return;
    }
    const uint64_t e = index_[probe.slot];
    if (e != 0 && DigestOf(e) == probe.digest)
        __builtin_prefetch(CopyOf(NumberOf(e)));
}

int64_t ExtendedStore::Lookup(const char* state) {
    return Lookup(state, Prepare(state));
}

int64_t ExtendedStore::Lookup(const char* state, const HybridHash::Probe& probe) {
    uint64_t p = Current(probe) ? probe.slot : Home(probe.digest);
    for (;; p = (p + 1) & mask_) {
        const uint64_t e = index_[p];
        if (e == 0)
            return -1;
        if (DigestOf(e) == probe.digest && std::memcmp(CopyOf(NumberOf(e)), state, size_) == 0)
            return NumberOf(e);
    }
}
