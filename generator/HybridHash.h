#ifndef HYBRIDHASH_H
#define HYBRIDHASH_H

#include <cstdint>

class PVModel;

class HybridHash {
  public:
    uint32_t* table;
    int scratchIndex;
    int scratchHash;
    int scratchProbe;
    int rehashCount;
    PVModel* model;
    char*** blocks;
    uint32_t stateSize;
    int currentBlock;
    uint32_t statesPerBlock;
    uint32_t tableSize;
    uint32_t chunkWidth;
    uint32_t maxBlocks;
    int insertCount;
    double hashLoadFactor;
    uint32_t* chunks;

    HybridHash(PVModel* model, uint32_t stateSize, uint32_t tableSize, uint32_t statesPerBlock,
               uint32_t chunkWidth, uint32_t maxBlocks, double loadFactor);
    ~HybridHash();
    HybridHash(const HybridHash&) = delete;
    HybridHash& operator=(const HybridHash&) = delete;

    void Insert(char* state, unsigned long number);
    int32_t Lookup(char* state);
    void Rehash();
    void AddArray();
};

void printstate(char* state, int length, const char* label);

#endif
