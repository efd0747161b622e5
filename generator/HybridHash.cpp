#include "generator/HybridHash.h"

#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/PVModel.h"

#include <cassert>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

const uint32_t HybridHash::PrimeArray[] = {131071,   393209,   786419,   1179637,  1966049,
                                           2752481,  4325341,  6684607,  9437101,  15335303,
                                           21000169, 31000303, 51000353, 71000383, 0};

namespace {

constexpr uint32_t kNumberBits = 24;
constexpr uint32_t kNumberMask = (1u << kNumberBits) - 1;
// The block index has 8 bits in an entry.
constexpr uint32_t kMaxEncodableBlocks = 1u << (32 - kNumberBits);
constexpr uint32_t kProbeStepUnit = 1024;
// The lookup index starts with 2^17 slots and doubles when 70% full.
constexpr uint32_t kInitialIndexBits = 17;
constexpr double kIndexFill = 0.7;

[[noreturn]] void Fatal(const char* message) {
    ::Fatal(std::cerr, std::string(message) + "\n");
}

inline uint32_t Step(int rehashCount) {
    return static_cast<uint32_t>(rehashCount + 1) * kProbeStepUnit;
}

// Advances a probe position. The single subtraction of N keeps p below N for every
// table of more than 2 × step slots; the modulo only guards smaller tables.
inline void NextProbe(uint32_t& p, uint32_t& j, uint32_t step, uint32_t n) {
    p += step * j;
    if (p < n) {
        j++;
    } else {
        p -= n;
        if (p >= n)
            p %= n;
        j = 1;
    }
}

inline void Prefetch(const void* p) {
    __builtin_prefetch(p);
}

// Walks the probe sequence from a home slot, fetching ahead the words of the
// occupancy bitmap it will test next. The distance ahead grows with the length
// walked so far: most chains end at their first or second slot, and the long ones
// are fetched 16 slots ahead. A walk expected to be long can start with more.
class ProbeWalk {
  public:
    ProbeWalk(uint32_t home, uint32_t step, uint32_t n, const uint64_t* bits, uint32_t initial = 2)
        : p(home), j(1), aheadP(home), aheadJ(1), fetched(0), visited(0), step(step), n(n),
          bits(bits) {
        Fetch(initial);
        FetchAhead();
    }
    uint32_t Position() const { return p; }
    void Next() {
        NextProbe(p, j, step, n);
        visited++;
        FetchAhead();
    }

  private:
    void FetchAhead() { Fetch(visited + (visited < 8 ? visited + 2 : 16)); }
    void Fetch(uint32_t wanted) {
        while (fetched < wanted) {
            Prefetch(bits + aheadP / 64);
            NextProbe(aheadP, aheadJ, step, n);
            fetched++;
        }
    }

    uint32_t p, j;
    uint32_t aheadP, aheadJ;
    uint32_t fetched, visited;
    const uint32_t step, n;
    const uint64_t* bits;
};

inline bool Placed(const uint64_t* bits, uint32_t p) {
    return (bits[p / 64] >> (p % 64)) & 1;
}

inline void Place(uint64_t* bits, uint32_t p) {
    bits[p / 64] |= uint64_t(1) << (p % 64);
}

uint64_t* NewBitmap(uint32_t slots) {
    return new (std::nothrow) uint64_t[slots / 64 + 1]();
}

} // namespace

void HybridHash::StorageExhausted() const {
    Fatal(std::cerr, "Error: the state space has more states than the state storage can hold (" +
                         std::to_string(maxStates) + " states)\n");
}

uint32_t HybridHash::StorageLimit(uint32_t perBlock, uint32_t numBlocks) {
    if (numBlocks > kMaxEncodableBlocks)
        numBlocks = kMaxEncodableBlocks;
    uint64_t limit = static_cast<uint64_t>(numBlocks) * perBlock;
    limit = limit > 0 ? limit - 1 : 0;
    if (limit > kNumberMask)
        limit = kNumberMask;
    return static_cast<uint32_t>(limit);
}

HybridHash::HybridHash(PVModel* m, uint32_t size, uint32_t slots, uint32_t perBlock, uint32_t width,
                       uint32_t numBlocks, double loadFactor)
    : table(nullptr), scratchIndex(0), scratchHash(0), scratchProbe(0), rehashCount(0), model(m),
      blocks(nullptr), stateSize(size), currentBlock(0), statesPerBlock(perBlock), tableSize(slots),
      chunkWidth(width > 0 ? width : 5), maxBlocks(numBlocks), insertCount(0),
      hashLoadFactor(loadFactor), chunks(nullptr), digestIndex(nullptr),
      digestIndexBits(kInitialIndexBits), indexedStates(0), indexGrowths(0), maxStates(0),
      tableDivisor(slots), blockDivisor(perBlock), highestNumber(0), placed(nullptr), lastMiss(),
      lastMissState(nullptr) {
    if (!(hashLoadFactor > 0.0))
        hashLoadFactor = 0.5;
    else if (hashLoadFactor > 1.0)
        hashLoadFactor = 1.0;
    maxStates = StorageLimit(statesPerBlock, maxBlocks);

    table = new (std::nothrow) uint32_t[tableSize > 0 ? tableSize : 1]();
    placed = NewBitmap(tableSize);
    digestIndex = new (std::nothrow) uint32_t[size_t(1) << digestIndexBits]();
    if (table == nullptr || placed == nullptr || digestIndex == nullptr)
        Fatal("Error:  TempHashTable not allocated"); // exact text
    blocks = new (std::nothrow) char**[maxBlocks > 0 ? maxBlocks : 1]();
    chunks = new (std::nothrow) uint32_t[stateSize + 1]();
    lastMissState = new (std::nothrow) char[stateSize > 0 ? stateSize : 1];
    if (blocks == nullptr || chunks == nullptr || lastMissState == nullptr)
        Fatal("Error:  Unable to allocate memory"); // exact text
    currentBlock = -1;
    AddArray();
}

HybridHash::~HybridHash() {
    for (int b = 0; b <= currentBlock; b++) {
        if (blocks[b] != nullptr)
            delete[] blocks[b][0]; // the slab behind every buffer of the block
        delete[] blocks[b];
    }
    delete[] blocks;
    delete[] chunks;
    delete[] table;
    delete[] placed;
    delete[] digestIndex;
    delete[] lastMissState;
}

namespace {

inline uint32_t SignedByte(const char* p) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
}

} // namespace

uint32_t HybridHash::Hash(const char* state, const Divisor& n) {
    const uint32_t k = (stateSize + chunkWidth - 1) / chunkWidth;
    uint32_t pos = 0;
    uint32_t i = 0;
    if (chunkWidth == 5) {
        // The width the generator uses, unrolled.
        for (; pos + 5 <= stateSize; pos += 5, i++) {
            const char* b = state + pos;
            chunks[i] = ((((SignedByte(b) << 5 ^ SignedByte(b + 1)) << 5 ^ SignedByte(b + 2)) << 5 ^
                          SignedByte(b + 3))
                         << 5) ^
                        SignedByte(b + 4);
        }
    }
    for (; i < k; i++) {
        const uint32_t end = pos + chunkWidth < stateSize ? pos + chunkWidth : stateSize;
        uint32_t c = 0;
        for (; pos < end; pos++)
            c = (c << 5) ^ SignedByte(state + pos);
        chunks[i] = c;
    }
    uint32_t nonzero = 0;
    for (i = 0; i + 1 < k; i++)
        nonzero += chunks[i] != 0;
    uint32_t m;
    if (nonzero > 16)
        m = 1;
    else if (nonzero > 8)
        m = 2;
    else if (nonzero > 4)
        m = 4;
    else if (nonzero > 2)
        m = 8;
    else
        m = 16;
    uint32_t h = 0;
    for (i = 0; i < k; i++) {
        // Without branches: whether a chunk is zero varies from state to state.
        const uint32_t c = chunks[i];
        const uint32_t next = (h * m) ^ n.Remainder(c);
        const uint32_t keep = c != 0 ? 0 : ~0u;
        h = (next & ~keep) | (h & keep);
    }
    return n.Remainder(h);
}

char* HybridHash::StoredCopy(uint32_t entry) const {
    const uint32_t block = entry >> kNumberBits;
    const int64_t position =
        static_cast<int64_t>(entry & kNumberMask) - static_cast<int64_t>(block) * statesPerBlock;
    if (static_cast<int64_t>(block) > currentBlock || position < 0 ||
        position >= static_cast<int64_t>(statesPerBlock))
        return nullptr;
    // Every buffer of a block lies in the slab that starts at its position 0.
    return blocks[block][0] + static_cast<uint64_t>(position) * stateSize;
}

uint32_t HybridHash::FreeSlot(const uint32_t* t, const uint64_t* bits, uint32_t n, uint32_t step,
                              uint32_t home) {
    scratchHash = static_cast<int>(home);
    ProbeWalk walk(home, step, n, bits);
    uint32_t probes = 0;
    // A slot of the live table that it placed nothing in can still hold an entry
    // written from outside; a table being built by growth cannot.
    while (Placed(bits, walk.Position()) || (t != nullptr && t[walk.Position()] != 0)) {
        walk.Next();
        // The sequence need not visit every slot: a table too full for it would
        // otherwise loop for ever.
        if (++probes > n)
            Fatal("Error: the state hash table is too full to place a state; use a smaller"
                  " load factor (option -h)");
    }
    scratchProbe = static_cast<int>(probes);
    scratchIndex = static_cast<int>(walk.Position());
    return walk.Position();
}

void HybridHash::Insert(char* state, unsigned long number) {
    assert(number > 0 && "state numbers start at 1; entry 0 marks an empty slot");
    if (number > maxStates)
        StorageExhausted();
    if (static_cast<double>(number) >= static_cast<double>(tableSize) * hashLoadFactor)
        Rehash();
    if (number >= static_cast<unsigned long>(currentBlock + 1) * statesPerBlock)
        AddArray();
    const uint64_t position = number - static_cast<uint64_t>(currentBlock) * statesPerBlock;
    assert(position < statesPerBlock && "numbers are handed out without gaps");

    uint32_t p;
    if (lastMiss.valid && lastMiss.rehashes == rehashCount && lastMiss.inserts == insertCount &&
        table[lastMiss.slot] == 0 && std::memcmp(lastMissState, state, stateSize) == 0) {
        p = lastMiss.slot;
        scratchHash = static_cast<int>(lastMiss.home);
        scratchProbe = static_cast<int>(lastMiss.probes);
        scratchIndex = static_cast<int>(p);
    } else {
        p = FreeSlot(table, placed, tableSize, Step(rehashCount), Hash(state, tableDivisor));
    }
    lastMiss.valid = false;
    insertCount++;
    table[p] = (static_cast<uint32_t>(currentBlock) << kNumberBits) + static_cast<uint32_t>(number);
    Place(placed, p);
    std::memcpy(blocks[currentBlock][position], state, stateSize);
    AddToIndex(Digest(state), static_cast<uint32_t>(number));
    if (number > highestNumber)
        highestNumber = static_cast<uint32_t>(number);
}

void HybridHash::AddToIndex(uint32_t digest, uint32_t number) {
    if (indexedStates + 1 > kIndexFill * static_cast<double>(uint64_t(1) << digestIndexBits))
        GrowIndex();
    PlaceInIndex(digestIndex, digest, number);
    indexedStates++;
}

void HybridHash::PlaceInIndex(uint32_t* index, uint32_t digest, uint32_t number) const {
    const uint32_t mask = (uint32_t(1) << digestIndexBits) - 1;
    uint32_t slot = IndexSlot(digest);
    while (index[slot] != 0)
        slot = (slot + 1) & mask;
    index[slot] = (Tag(digest) << kNumberBits) | number;
}

void HybridHash::GrowIndex() {
    const uint64_t oldSlots = uint64_t(1) << digestIndexBits;
    uint32_t* old = digestIndex;
    uint32_t* grown = new (std::nothrow) uint32_t[oldSlots * 2]();
    if (grown == nullptr)
        Fatal("Error:  Unable to allocate memory"); // exact text
    digestIndexBits++;
    indexGrowths++;
    // The new slots need a digest bit the index does not keep: the digests are
    // computed again from the stored copies, in storage order when the numbers are
    // the run 1, 2, ... the generator hands out.
    if (indexedStates == highestNumber) {
        for (uint32_t n = 1; n <= highestNumber; n++)
            PlaceInIndex(grown, Digest(CopyOf(n)), n);
    } else {
        for (uint64_t i = 0; i < oldSlots; i++) {
            const uint32_t number = old[i] & kNumberMask;
            if (old[i] != 0)
                PlaceInIndex(grown, Digest(CopyOf(number)), number);
        }
    }
    digestIndex = grown;
    delete[] old;
}

uint32_t HybridHash::Digest(const char* state) const {
    return Digest(state, stateSize);
}

uint32_t HybridHash::Digest(const char* state, uint32_t size) {
    uint64_t h = 0x9e3779b97f4a7c15ULL ^ size;
    uint32_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t w;
        std::memcpy(&w, state + i, 8);
        h = (h ^ w) * 0xff51afd7ed558ccdULL;
        h ^= h >> 32;
    }
    for (; i < size; i++)
        h = (h ^ static_cast<unsigned char>(state[i])) * 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ULL;
    return static_cast<uint32_t>(h >> 32);
}

char* HybridHash::CopyOf(uint32_t number) const {
    const uint32_t block = blockDivisor.Quotient(number);
    return blocks[block][0] + static_cast<uint64_t>(number - block * statesPerBlock) * stateSize;
}

HybridHash::Probe HybridHash::Prepare(const char* state) {
    return Prepare(Digest(state));
}

HybridHash::Probe HybridHash::Prepare(uint32_t digest) {
    Probe probe;
    probe.digest = digest;
    probe.slot = IndexSlot(probe.digest);
    probe.growths = indexGrowths;
    probe.home = 0;
    probe.rehashes = -1;
    Prefetch(digestIndex + probe.slot);
    return probe;
}

void HybridHash::FetchCandidate(const char* state, Probe& probe) {
    if (probe.growths != indexGrowths)
        return;
    // Skip the slots holding other tags; they keep them until the index grows, so
    // the lookup may start where this stops.
    const uint32_t mask = (uint32_t(1) << digestIndexBits) - 1;
    const uint32_t tag = Tag(probe.digest);
    uint32_t value = digestIndex[probe.slot];
    while (value != 0 && value >> kNumberBits != tag) {
        probe.slot = (probe.slot + 1) & mask;
        value = digestIndex[probe.slot];
    }
    if (value != 0) {
        Prefetch(CopyOf(value & kNumberMask));
        return;
    }
    // Absent so far: the lookup will walk the table's probe sequence to its first
    // empty slot, which takes several slots for most new states.
    probe.home = Hash(state, tableDivisor);
    probe.rehashes = rehashCount;
    ProbeWalk ahead(probe.home, Step(rehashCount), tableSize, placed, 6);
}

void HybridHash::FetchWalkEnd(const Probe& probe) const {
    if (probe.rehashes != rehashCount)
        return;
    // The walk reads the table only where the bitmap shows no placed entry: the
    // first such slot is where it will most likely end.
    uint32_t p = probe.home, j = 1;
    const uint32_t step = Step(rehashCount);
    for (uint32_t k = 0; k < 64 && Placed(placed, p); k++)
        NextProbe(p, j, step, tableSize);
    Prefetch(table + p);
}

int32_t HybridHash::Lookup(char* state) {
    return Lookup(state, Prepare(state));
}

bool HybridHash::SameState(char* stored, char* state) {
    const bool same = model->CompareState(stored, state);
#ifndef NDEBUG
    // Digests and the stored copies are bytes: a CompareState that is anything but
    // byte equality would make one state two, or two states one, depending on where
    // the table happens to put them.
    if (same != (std::memcmp(stored, state, stateSize) == 0))
        Fatal(std::cerr, "Error: the model's CompareState is not byte equality of states\n");
#endif
    return same;
}

int32_t HybridHash::Lookup(char* state, const Probe& probe) {
    const uint32_t mask = (uint32_t(1) << digestIndexBits) - 1;
    uint32_t slot = probe.growths == indexGrowths ? probe.slot : IndexSlot(probe.digest);
    const uint32_t tag = Tag(probe.digest);
    for (uint32_t value = digestIndex[slot]; value != 0; value = digestIndex[slot]) {
        if (value >> kNumberBits == tag) {
            const uint32_t number = value & kNumberMask;
            if (SameState(CopyOf(number), state))
                return static_cast<int32_t>(number);
        }
        slot = (slot + 1) & mask;
    }
    return WalkTable(state, probe.rehashes == rehashCount ? probe.home : Hash(state, tableDivisor));
}

int32_t HybridHash::WalkTable(char* state, uint32_t home) {
    scratchHash = static_cast<int>(home);
    ProbeWalk walk(home, Step(rehashCount), tableSize, placed);
    uint32_t probes = 0;
    int32_t result = -1;
    bool ended = false; // at an empty slot
    for (;;) {
        const uint32_t p = walk.Position();
        // The entries this table placed are inserted states', which the index would
        // have found: only the others need reading.
        if (!Placed(placed, p)) {
            const uint32_t entry = table[p];
            if (entry == 0) {
                ended = true;
                break;
            }
            const char* stored = StoredCopy(entry);
            if (stored == nullptr) {
                table[p] = 0; // damaged entry
                ended = true;
                break;
            }
            // A valid entry decodes to its number's own block, so it is an inserted
            // state's entry exactly when its number has been inserted.
            const uint32_t number = entry & kNumberMask;
            const bool inserted = number >= 1 && number <= highestNumber;
            if (!inserted && SameState(const_cast<char*>(stored), state)) {
                result = static_cast<int32_t>(number);
                break;
            }
        }
        walk.Next();
        if (++probes > tableSize)
            break;
    }
    scratchProbe = static_cast<int>(probes);
    scratchIndex = static_cast<int>(walk.Position());
    lastMiss.valid = ended;
    if (ended) {
        lastMiss.home = home;
        lastMiss.slot = walk.Position();
        lastMiss.probes = probes;
        lastMiss.rehashes = rehashCount;
        lastMiss.inserts = insertCount;
        std::memcpy(lastMissState, state, stateSize);
    }
    return result;
}

uint32_t* HybridHash::StoredHomes(const Divisor& n) {
    const uint64_t count = static_cast<uint64_t>(currentBlock + 1) * statesPerBlock;
    uint32_t* homes = new (std::nothrow) uint32_t[count > 0 ? count : 1];
    if (homes == nullptr)
        Fatal("Error:  TempHashTable not allocated"); // exact text
    uint32_t* at = homes;
    for (int b = 0; b <= currentBlock; b++) {
        const char* copy = blocks[b][0];
        for (uint32_t i = 0; i < statesPerBlock; i++, copy += stateSize)
            *at++ = Hash(copy, n);
    }
    return homes;
}

void HybridHash::Rehash() {
    rehashCount++;
    const uint32_t newSize = PrimeArray[rehashCount];
    if (newSize == 0)
        Fatal("Hash:  Error:  allocate more memory for Hash Table"); // exact text
    if (newSize < tableSize)
        Fatal("Hash:  Error, there is a typo in the Hash Table, check .h file"); // exact text
    uint32_t* grown = new (std::nothrow) uint32_t[newSize]();
    uint64_t* grownPlaced = NewBitmap(newSize);
    if (grown == nullptr || grownPlaced == nullptr)
        Fatal("Error:  TempHashTable not allocated"); // exact text

    const Divisor newSlots(newSize);
    uint32_t* homes = StoredHomes(newSlots);
    // The valid entries in old-slot order with their new home slots, so that the
    // home slots of the entries a few places ahead can be fetched while one is placed.
    uint64_t valid = 0;
    for (uint32_t i = 0; i < tableSize; i++)
        valid += table[i] != 0 && StoredCopy(table[i]) != nullptr;
    uint64_t* order = new (std::nothrow) uint64_t[valid > 0 ? valid : 1];
    if (order == nullptr)
        Fatal("Error:  TempHashTable not allocated"); // exact text
    uint64_t k = 0;
    for (uint32_t i = 0; i < tableSize; i++) {
        // The homes are read in table order, at random numbers: fetch them ahead.
        const uint32_t later = i + 64 < tableSize ? table[i + 64] : 0;
        if (later != 0 && StoredCopy(later) != nullptr)
            Prefetch(homes + (later & kNumberMask));
        const uint32_t entry = table[i];
        if (entry == 0 || StoredCopy(entry) == nullptr)
            continue; // damaged entries are dropped
        // A valid entry's number indexes its stored position (block × statesPerBlock
        // + position), so its home is the one computed from its copy.
        order[k++] = (static_cast<uint64_t>(homes[entry & kNumberMask]) << 32) | entry;
    }
    delete[] homes;

    const uint32_t step = Step(rehashCount);
    const uint64_t ahead = 8;
    for (k = 0; k < valid; k++) {
        if (k + ahead < valid) {
            // The first slots of a later entry's probe sequence.
            uint32_t p = static_cast<uint32_t>(order[k + ahead] >> 32), j = 1;
            for (int probe = 0; probe < 3; probe++) {
                Prefetch(grownPlaced + p / 64);
                NextProbe(p, j, step, newSize);
            }
        }
        const uint32_t slot =
            FreeSlot(nullptr, grownPlaced, newSize, step, static_cast<uint32_t>(order[k] >> 32));
        grown[slot] = static_cast<uint32_t>(order[k]);
        Place(grownPlaced, slot);
    }
    delete[] order;
#ifndef NDEBUG
    uint64_t occupied = 0;
    for (uint32_t i = 0; i < newSize; i++)
        occupied += grown[i] != 0;
    assert(occupied == valid && "no entry is lost in a rehash");
#endif
    delete[] table;
    delete[] placed;
    table = grown;
    placed = grownPlaced;
    tableSize = newSize;
    tableDivisor = newSlots;
}

void HybridHash::AddArray() {
    const int next = currentBlock + 1;
    if (next < 0 || static_cast<uint32_t>(next) >= maxBlocks)
        StorageExhausted();
    char** block = new (std::nothrow) char*[statesPerBlock > 0 ? statesPerBlock : 1];
    const uint64_t bytes = static_cast<uint64_t>(statesPerBlock) * stateSize;
    char* slab = new (std::nothrow) char[bytes > 0 ? bytes : 1]();
    if (block == nullptr || slab == nullptr)
        Fatal("Error:  Unable to allocate memory"); // exact text
    for (uint32_t i = 0; i < statesPerBlock; i++)
        block[i] = slab + static_cast<uint64_t>(i) * stateSize;
    if (statesPerBlock == 0)
        block[0] = slab;
    currentBlock = next;
    blocks[currentBlock] = block;
}

void printstate(char* state, int length, const char* label) {
    std::cout << "STATEVECTOR (" << label << ")" << std::endl;
    for (int i = 0; i < length; i++) {
        std::cout << static_cast<int>(static_cast<signed char>(state[i])) << " ";
        if ((i + 1) % 20 == 0)
            std::cout << std::endl;
    }
    std::cout << std::endl;
}
