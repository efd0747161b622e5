#ifndef HYBRIDHASH_H
#define HYBRIDHASH_H

#include <cstdint>

class PVModel;

// Maps a state vector (a byte string of fixed length) to the number the generator
// gave it. States are never removed.
//
// Design
// - `table` is an open-addressing array of 32-bit entries; 0 marks an empty slot. An
//   entry is (block × 2^24) + number: the low 24 bits are the state number itself,
//   the high 8 bits the storage block that holds the state's copy.
// - Storage: `blocks[b]` is an array of `statesPerBlock` pointers to state copies
//   (one zeroed slab per block behind them). State n inserted while block b is
//   current lives at position n − b × statesPerBlock of block b; a new block is
//   added when n reaches (currentBlock + 1) × statesPerBlock. Position 0 of block 0
//   stays unused because numbering starts at 1. Equality is decided by the model's
//   CompareState on the stored copy.
// - Hash of S bytes for N slots, unsigned 32-bit and wrapping: the vector is cut into
//   chunks of `chunkWidth` (5) bytes, the last holding the remainder. A chunk value
//   is the fold c = (c << 5) ^ b over its bytes, b being the byte sign-extended from
//   8 bits. z counts the nonzero chunk values among all chunks but the last; the
//   multiplier m is 1 if z > 16, 2 if z > 8, 4 if z > 4, 8 if z > 2, else 16. Then
//   h = (h × m) ^ (c mod N) over the nonzero chunks in order, and the home slot is
//   h mod N. For S ≤ 5 the home slot is just the fold modulo N.
// - Probe: step = (rehashCount + 1) × 1024, j = 1; from the home slot p, while the
//   slot is taken: p += step × j; if p < N then j += 1, else p −= N and j = 1.
// - Growth: before inserting state n with n ≥ tableSize × hashLoadFactor the table
//   moves to the next size of PrimeArray (131071, 393209, ..., 71000383, then 0 =
//   exhausted); entries are re-placed unchanged, the hash recomputed from the stored
//   copies with the new size and step. No state bytes move.
// - Limit: at most MaxStates() states (the blocks, and the 24-bit number field,
//   bound it); inserting more ends the run with a message before anything changes.
// - Cheap rejection: `tags` runs parallel to `table` and holds, for every entry the
//   table placed itself, a strong 32-bit digest of that state (never 0). A probe
//   calls CompareState only where the digest matches, or where the tag is 0 (an
//   entry written into `table` from outside). Equal states have equal digests
//   because every model compares states byte for byte.
// - Probe chains of this hash are long for sparse vectors (a few percent of lookups
//   visit more than 20 slots), and each slot is a cache miss of its own. The probe
//   positions do not depend on the table's contents, so a walk fetches the slots
//   ahead of the one it examines, and their misses overlap.
//
// Not reentrant: one scratch chunk array serves every operation, and Lookup and
// Insert never allocate.
class HybridHash {
  public:
    uint32_t* table;
    // Diagnostics of the last Insert or Lookup: final slot, home slot, probe steps.
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
    // Digests of the entries' states, slot by slot (see the design notes).
    uint32_t* tags;

    // Table sizes used for growth, in order; a 0 ends the list.
    static const uint32_t PrimeArray[];

    // The remainder by a fixed divisor, through multiplications instead of a
    // division: every hash takes one remainder per chunk. Exact for every 32-bit
    // dividend and divisor.
    class Divisor {
      public:
        explicit Divisor(uint32_t d) : d(d), m(d > 0 ? UINT64_MAX / d + 1 : 0) {}
        uint32_t Remainder(uint32_t a) const {
            return static_cast<uint32_t>((static_cast<unsigned __int128>(m * a) * d) >> 64);
        }
        uint32_t Value() const { return d; }

      private:
        uint32_t d;
        uint64_t m;
    };

    // A load factor outside (0, 1] is replaced: above 1 by 1, otherwise (0 or less,
    // or not a number) by 0.5, because the probe needs free slots to end.
    HybridHash(PVModel* model, uint32_t stateSize, uint32_t tableSize, uint32_t statesPerBlock,
               uint32_t chunkWidth, uint32_t maxBlocks, double loadFactor);
    ~HybridHash();
    HybridHash(const HybridHash&) = delete;
    HybridHash& operator=(const HybridHash&) = delete;

    // Adds a state known to be absent; numbers come as 1, 2, 3, ... without gaps.
    void Insert(char* state, unsigned long number);
    // The state's number, or −1 if it is absent.
    int32_t Lookup(char* state);

    // A lookup split in two, so that the cache misses of several lookups overlap:
    // Prepare() computes a state's home slot and digest and starts fetching the home
    // slot; FetchCandidate() starts fetching the stored copy that the home slot
    // points at when its digest matches; Lookup(state, probe) then gives the same
    // answer as Lookup(state). A probe stays usable across insertions and growth
    // (after growth the home slot is computed again).
    struct Probe {
        uint32_t home;
        uint32_t digest;
        int table; // rehashCount when the home slot was computed
    };
    Probe Prepare(const char* state);
    void FetchCandidate(const Probe& probe) const;
    int32_t Lookup(char* state, const Probe& probe);
    void Rehash();
    void AddArray();

    // Largest state number the storage can hold.
    uint32_t MaxStates() const { return maxStates; }
    static uint32_t StorageLimit(uint32_t statesPerBlock, uint32_t maxBlocks);
    // Home slot of a state vector in the current table.
    uint32_t HomeSlot(const char* state) { return Hash(state, Divisor(tableSize)); }
    // The digest kept in `tags`; never 0.
    uint32_t Digest(const char* state) const;

  private:
    uint32_t maxStates;
    // `tableSize` as a divisor.
    Divisor tableDivisor;

    [[noreturn]] void StorageExhausted() const;

    uint32_t Hash(const char* state, const Divisor& n);
    // First empty slot of the probe sequence from `home` in `t` (n slots, given step).
    uint32_t FreeSlot(const uint32_t* t, uint32_t n, uint32_t step, uint32_t home);
    // The stored copy an entry points at, or null for a damaged entry.
    char* StoredCopy(uint32_t entry) const;
    // Home slots in a table of n slots of every stored position, indexed by state
    // number, computed in storage order so that the copies are read one after another.
    uint32_t* StoredHomes(const Divisor& n);
};

void printstate(char* state, int length, const char* label);

#endif
