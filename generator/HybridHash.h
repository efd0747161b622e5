#ifndef HYBRIDHASH_H
#define HYBRIDHASH_H

#include <cassert>
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
// - Finding a state: the hash above clusters sparse state vectors, so its probe
//   chains are long (a few percent of lookups would visit more than 20 slots, each
//   slot a cache miss of its own). Lookups therefore ask a second index first,
//   `digestIndex`: a power-of-two array of (tag × 2^24 + number) values, 0 for an
//   empty slot, placed by linear probing from the high bits of a strong 32-bit
//   digest of the state; the tag is the digest's low 8 bits. A state is found there
//   in one cache line, mostly, and CompareState on its stored copy confirms it
//   (every model compares states byte for byte, so equal states have equal
//   digests); other states with the same tag cost a comparison each, one lookup in
//   a few hundred. The index grows by doubling when it is 70% full; the digests are
//   then computed again from the stored copies.
// - The table itself is kept exactly as described above: every insertion and growth
//   places the entry in the slot its probe sequence gives. A lookup that the index
//   does not answer walks the table's probe sequence as well: it clears a damaged
//   entry it meets, and compares the entries that no insertion made (written into
//   `table` from outside); the entries of inserted states are known to differ.
// - Walks read an occupancy bitmap (`placed`, one bit per slot, set where this
//   table placed an entry) instead of the table's own lines, 32 times larger and
//   each probe a cache miss of its own; the table is read only at slots without
//   such a bit, which hold no entry or one written from outside. The probe positions
//   do not depend on the contents, so a walk fetches the bitmap words ahead of the
//   one it tests.
//
// Not reentrant: one scratch chunk array serves every operation. Lookup never
// allocates; Insert only when the table, the index or the storage grows.
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
    // The lookup index of the design notes, its size as a power of two, the states
    // it holds and the number of times it has grown.
    uint32_t* digestIndex;
    uint32_t digestIndexBits;
    uint32_t indexedStates;
    int indexGrowths;

    // Table sizes used for growth, in order; a 0 ends the list.
    static const uint32_t PrimeArray[];

    // The remainder and quotient by a fixed divisor, through multiplications instead
    // of a division: every hash takes one remainder per chunk. Exact for every 32-bit
    // dividend and nonzero divisor.
    class Divisor {
      public:
        explicit Divisor(uint32_t d) : d(d), m(d > 0 ? UINT64_MAX / d + 1 : 0) {}
        uint32_t Remainder(uint32_t a) const {
            return static_cast<uint32_t>((static_cast<unsigned __int128>(m * a) * d) >> 64);
        }
        uint32_t Quotient(uint32_t a) const {
            return d == 1 ? a
                          : static_cast<uint32_t>((static_cast<unsigned __int128>(m) * a) >> 64);
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
    // Prepare() computes a state's digest and starts fetching its slot of the
    // index. FetchCandidate() then starts fetching what the lookup will read next:
    // the stored copy that this slot points at when the digest matches, or, when
    // the state is absent (new), the bitmap words of the table's probe sequence.
    // Lookup(state, probe) gives the same answer as Lookup(state). A probe stays
    // usable across insertions and growth.
    struct Probe {
        uint32_t digest;
        uint32_t slot; // of the index, when it had grown `growths` times
        int growths;
        uint32_t home; // home slot in the table, when `rehashes` is rehashCount
        int rehashes;  // -1: home not computed
    };
    Probe Prepare(const char* state);
    // The same, from the state's Digest().
    Probe Prepare(uint32_t digest);
    void FetchCandidate(const char* state, Probe& probe);
    // For a state found absent by FetchCandidate: starts fetching the table slot
    // where the walk of the table will end (by then the bitmap words it tests have
    // arrived).
    void FetchWalkEnd(const Probe& probe) const;
    int32_t Lookup(char* state, const Probe& probe);
    void Rehash();
    void AddArray();

    // The stored copy of state `number` (1 to the highest number inserted), valid
    // until the table is released.
    const char* StoredState(uint32_t number) const {
        assert(number >= 1 && number <= highestNumber && "a state that was inserted");
        return CopyOf(number);
    }
    // Largest state number the storage can hold.
    uint32_t MaxStates() const { return maxStates; }
    static uint32_t StorageLimit(uint32_t statesPerBlock, uint32_t maxBlocks);
    // Home slot of a state vector in the current table.
    uint32_t HomeSlot(const char* state) { return Hash(state, Divisor(tableSize)); }
    // The digest kept in the index.
    uint32_t Digest(const char* state) const;
    // The same for a state of `size` bytes, without reading the table (another
    // thread may compute it while the table changes).
    static uint32_t Digest(const char* state, uint32_t size);

  private:
    uint32_t maxStates;
    // `tableSize` and `statesPerBlock` as divisors.
    Divisor tableDivisor;
    Divisor blockDivisor;
    // Highest state number inserted (numbers 1 to it are in the table).
    uint32_t highestNumber;
    // One bit per slot of `table`: set where this table placed an entry (see the
    // design notes).
    uint64_t* placed;
    // The last walk of the table that ended at an empty slot: the state sought
    // (a copy), where the walk ended and the table it walked. An insertion of the
    // same state into the unchanged table takes that slot without walking again.
    struct WalkEnd {
        bool valid;
        uint32_t home, slot, probes;
        int rehashes, inserts;
    } lastMiss;
    char* lastMissState;

    [[noreturn]] void StorageExhausted() const;

    uint32_t Hash(const char* state, const Divisor& n);
    // First empty slot of the probe sequence from `home` in `t` (n slots, given step,
    // `bits` its occupancy bitmap); t is null for a table that only this one fills.
    uint32_t FreeSlot(const uint32_t* t, const uint64_t* bits, uint32_t n, uint32_t step,
                      uint32_t home);
    // The stored copy an entry points at, or null for a damaged entry.
    char* StoredCopy(uint32_t entry) const;
    // The stored copy of an inserted state.
    char* CopyOf(uint32_t number) const;
    // The table's answer for a state the index does not hold (see the design notes),
    // from its home slot.
    int32_t WalkTable(char* state, uint32_t home);
    // CompareState on a stored copy; in debug builds also checks that it is byte
    // equality, which the digests rely on.
    bool SameState(char* stored, char* state);
    uint32_t IndexSlot(uint32_t digest) const { return digest >> (32 - digestIndexBits); }
    // The low 8 bits of the digest, kept in the index above the state number.
    static uint32_t Tag(uint32_t digest) { return digest & 0xFF; }
    void AddToIndex(uint32_t digest, uint32_t number);
    void PlaceInIndex(uint32_t* index, uint32_t digest, uint32_t number) const;
    void GrowIndex();
    // Home slots in a table of n slots of every stored position, indexed by state
    // number, computed in storage order so that the copies are read one after another.
    uint32_t* StoredHomes(const Divisor& n);
};

void printstate(char* state, int length, const char* label);

#endif
