#include "generator/HybridHash.h"

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

[[noreturn]] void Fatal(const char* message) {
    std::cerr << message << std::endl;
    std::exit(1);
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

// Walks the probe sequence from a home slot, fetching ahead the slots it will
// examine next in one or two parallel arrays. The distance ahead grows with the
// length walked so far: most chains end at their first or second slot, and the long
// ones are fetched 16 slots ahead.
class ProbeWalk {
  public:
    ProbeWalk(uint32_t home, uint32_t step, uint32_t n, const uint32_t* first,
              const uint32_t* second)
        : p(home), j(1), aheadP(home), aheadJ(1), fetched(0), visited(0), step(step), n(n),
          first(first), second(second) {
        FetchAhead();
    }
    uint32_t Position() const { return p; }
    void Next() {
        NextProbe(p, j, step, n);
        visited++;
        FetchAhead();
    }

  private:
    void FetchAhead() {
        const uint32_t wanted = visited + (visited < 8 ? visited + 2 : 16);
        while (fetched < wanted) {
            Prefetch(first + aheadP);
            if (second != nullptr)
                Prefetch(second + aheadP);
            NextProbe(aheadP, aheadJ, step, n);
            fetched++;
        }
    }

    uint32_t p, j;
    uint32_t aheadP, aheadJ;
    uint32_t fetched, visited;
    const uint32_t step, n;
    const uint32_t* first;
    const uint32_t* second;
};

} // namespace

void HybridHash::StorageExhausted() const {
    std::cerr << "Error: the state space has more states than the state storage can hold ("
              << maxStates << " states)" << std::endl;
    std::exit(1);
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
      hashLoadFactor(loadFactor), chunks(nullptr), tags(nullptr), maxStates(0),
      tableDivisor(slots) {
    if (!(hashLoadFactor > 0.0))
        hashLoadFactor = 0.5;
    else if (hashLoadFactor > 1.0)
        hashLoadFactor = 1.0;
    maxStates = StorageLimit(statesPerBlock, maxBlocks);

    table = new (std::nothrow) uint32_t[tableSize > 0 ? tableSize : 1]();
    tags = new (std::nothrow) uint32_t[tableSize > 0 ? tableSize : 1]();
    if (table == nullptr || tags == nullptr)
        Fatal("Error:  TempHashTable not allocated"); // exact text
    blocks = new (std::nothrow) char**[maxBlocks > 0 ? maxBlocks : 1]();
    chunks = new (std::nothrow) uint32_t[stateSize + 1]();
    if (blocks == nullptr || chunks == nullptr)
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
    delete[] tags;
}

uint32_t HybridHash::Hash(const char* state, const Divisor& n) {
    const uint32_t k = (stateSize + chunkWidth - 1) / chunkWidth;
    uint32_t nonzero = 0;
    uint32_t pos = 0;
    for (uint32_t i = 0; i < k; i++) {
        const uint32_t end = pos + chunkWidth < stateSize ? pos + chunkWidth : stateSize;
        uint32_t c = 0;
        for (; pos < end; pos++)
            c = (c << 5) ^
                static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(state[pos])));
        chunks[i] = c;
        if (c != 0 && i + 1 < k)
            nonzero++;
    }
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
    for (uint32_t i = 0; i < k; i++)
        if (chunks[i] != 0)
            h = (h * m) ^ n.Remainder(chunks[i]);
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

uint32_t HybridHash::FreeSlot(const uint32_t* t, uint32_t n, uint32_t step, uint32_t home) {
    scratchHash = static_cast<int>(home);
    ProbeWalk walk(home, step, n, t, nullptr);
    uint32_t probes = 0;
    while (t[walk.Position()] != 0) {
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

    insertCount++;
    const uint32_t p = FreeSlot(table, tableSize, Step(rehashCount), Hash(state, tableDivisor));
    table[p] = (static_cast<uint32_t>(currentBlock) << kNumberBits) + static_cast<uint32_t>(number);
    tags[p] = Digest(state);
    std::memcpy(blocks[currentBlock][position], state, stateSize);
}

uint32_t HybridHash::Digest(const char* state) const {
    uint64_t h = 0x9e3779b97f4a7c15ULL ^ stateSize;
    uint32_t i = 0;
    for (; i + 8 <= stateSize; i += 8) {
        uint64_t w;
        std::memcpy(&w, state + i, 8);
        h = (h ^ w) * 0xff51afd7ed558ccdULL;
        h ^= h >> 32;
    }
    for (; i < stateSize; i++)
        h = (h ^ static_cast<unsigned char>(state[i])) * 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ULL;
    const uint32_t digest = static_cast<uint32_t>(h >> 32);
    return digest != 0 ? digest : 1; // 0 marks a slot without a digest
}

HybridHash::Probe HybridHash::Prepare(const char* state) {
    Probe probe;
    probe.home = Hash(state, tableDivisor);
    probe.digest = Digest(state);
    probe.table = rehashCount;
    Prefetch(table + probe.home);
    Prefetch(tags + probe.home);
    return probe;
}

void HybridHash::FetchCandidate(const Probe& probe) const {
    if (probe.table != rehashCount)
        return;
    const uint32_t entry = table[probe.home];
    if (entry != 0 && tags[probe.home] == probe.digest) {
        const char* stored = StoredCopy(entry);
        if (stored != nullptr)
            Prefetch(stored);
    }
}

int32_t HybridHash::Lookup(char* state) {
    return Lookup(state, Prepare(state));
}

int32_t HybridHash::Lookup(char* state, const Probe& probe) {
    const uint32_t home = probe.table == rehashCount ? probe.home : Hash(state, tableDivisor);
    scratchHash = static_cast<int>(home);
    ProbeWalk walk(home, Step(rehashCount), tableSize, table, tags);
    uint32_t probes = 0;
    int32_t result = -1;
    for (;;) {
        const uint32_t p = walk.Position();
        const uint32_t entry = table[p];
        if (entry == 0)
            break;
        const char* stored = StoredCopy(entry);
        if (stored == nullptr) {
            table[p] = 0; // damaged entry
            break;
        }
        const uint32_t tag = tags[p];
        if ((tag == probe.digest || tag == 0) &&
            model->CompareState(const_cast<char*>(stored), state)) {
            result = static_cast<int32_t>(entry & kNumberMask);
            break;
        }
        walk.Next();
        if (++probes > tableSize)
            break;
    }
    scratchProbe = static_cast<int>(probes);
    scratchIndex = static_cast<int>(walk.Position());
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
    uint32_t* grownTags = new (std::nothrow) uint32_t[newSize]();
    if (grown == nullptr || grownTags == nullptr)
        Fatal("Error:  TempHashTable not allocated"); // exact text

    const Divisor newSlots(newSize);
    uint32_t* homes = StoredHomes(newSlots);
    const uint32_t step = Step(rehashCount);
    uint32_t moved = 0, valid = 0;
    for (uint32_t i = 0; i < tableSize; i++) {
        const uint32_t entry = table[i];
        if (entry == 0)
            continue;
        if (StoredCopy(entry) == nullptr)
            continue; // damaged entries are dropped
        valid++;
        // A valid entry's number indexes its stored position (block × statesPerBlock
        // + position), so its home is the one computed from its copy.
        const uint32_t slot = FreeSlot(grown, newSize, step, homes[entry & kNumberMask]);
        grown[slot] = entry;
        grownTags[slot] = tags[i];
        moved++;
    }
    assert(moved == valid && "no entry is lost in a rehash");
    (void)valid;
    (void)moved;
    delete[] homes;
    delete[] table;
    delete[] tags;
    table = grown;
    tags = grownTags;
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
