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
      hashLoadFactor(loadFactor), chunks(nullptr), maxStates(0) {
    if (!(hashLoadFactor > 0.0))
        hashLoadFactor = 0.5;
    else if (hashLoadFactor > 1.0)
        hashLoadFactor = 1.0;
    maxStates = StorageLimit(statesPerBlock, maxBlocks);

    table = new (std::nothrow) uint32_t[tableSize > 0 ? tableSize : 1]();
    if (table == nullptr)
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
}

uint32_t HybridHash::Hash(const char* state, uint32_t n) {
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
            h = (h * m) ^ (chunks[i] % n);
    return h % n;
}

char* HybridHash::StoredCopy(uint32_t entry) const {
    const uint32_t block = entry >> kNumberBits;
    const int64_t position =
        static_cast<int64_t>(entry & kNumberMask) - static_cast<int64_t>(block) * statesPerBlock;
    if (static_cast<int64_t>(block) > currentBlock || position < 0 ||
        position >= static_cast<int64_t>(statesPerBlock))
        return nullptr;
    return blocks[block][position];
}

uint32_t HybridHash::FreeSlot(const uint32_t* t, uint32_t n, uint32_t step, const char* state) {
    uint32_t p = Hash(state, n);
    scratchHash = static_cast<int>(p);
    uint32_t j = 1;
    uint32_t probes = 0;
    while (t[p] != 0) {
        NextProbe(p, j, step, n);
        // The sequence need not visit every slot: a table too full for it would
        // otherwise loop for ever.
        if (++probes > n)
            Fatal("Error: the state hash table is too full to place a state; use a smaller"
                  " load factor (option -h)");
    }
    scratchProbe = static_cast<int>(probes);
    scratchIndex = static_cast<int>(p);
    return p;
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

    if (number >= fingerprints.size())
        fingerprints.resize(static_cast<size_t>(currentBlock + 1) * statesPerBlock);
    fingerprints[number] = Fingerprint(state);

    insertCount++;
    const uint32_t p = FreeSlot(table, tableSize, Step(rehashCount), state);
    table[p] = (static_cast<uint32_t>(currentBlock) << kNumberBits) + static_cast<uint32_t>(number);
    std::memcpy(blocks[currentBlock][position], state, stateSize);
}

uint32_t HybridHash::Fingerprint(const char* state) const {
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
    return static_cast<uint32_t>(h >> 32);
}

int32_t HybridHash::Lookup(char* state) {
    uint32_t p = Hash(state, tableSize);
    scratchHash = static_cast<int>(p);
    const uint32_t step = Step(rehashCount);
    uint32_t j = 1;
    uint32_t probes = 0;
    int32_t result = -1;
    const uint32_t digest = Fingerprint(state);
    while (table[p] != 0) {
        const char* stored = StoredCopy(table[p]);
        if (stored == nullptr) {
            table[p] = 0; // damaged entry
            break;
        }
        const uint32_t number = table[p] & kNumberMask;
        if ((number >= fingerprints.size() || fingerprints[number] == digest) &&
            model->CompareState(const_cast<char*>(stored), state)) {
            result = static_cast<int32_t>(table[p] & kNumberMask);
            break;
        }
        NextProbe(p, j, step, tableSize);
        if (++probes > tableSize)
            break;
    }
    scratchProbe = static_cast<int>(probes);
    scratchIndex = static_cast<int>(p);
    return result;
}

void HybridHash::Rehash() {
    rehashCount++;
    const uint32_t newSize = PrimeArray[rehashCount];
    if (newSize == 0)
        Fatal("Hash:  Error:  allocate more memory for Hash Table"); // exact text
    if (newSize < tableSize)
        Fatal("Hash:  Error, there is a typo in the Hash Table, check .h file"); // exact text
    uint32_t* grown = new (std::nothrow) uint32_t[newSize]();
    if (grown == nullptr)
        Fatal("Error:  TempHashTable not allocated"); // exact text

    const uint32_t step = Step(rehashCount);
    uint32_t moved = 0, valid = 0;
    for (uint32_t i = 0; i < tableSize; i++) {
        const uint32_t entry = table[i];
        if (entry == 0)
            continue;
        const char* stored = StoredCopy(entry);
        if (stored == nullptr)
            continue; // damaged entries are dropped
        valid++;
        grown[FreeSlot(grown, newSize, step, stored)] = entry;
        moved++;
    }
    assert(moved == valid && "no entry is lost in a rehash");
    (void)valid;
    (void)moved;
    delete[] table;
    table = grown;
    tableSize = newSize;
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
