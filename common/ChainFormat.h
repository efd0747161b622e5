// The binary form of the state-space file, <name>.armb: the chain of <name>.arm,
// record for record, in fixed-width fields (little-endian, as the machines gen runs
// on write them), about a third of the text's size and read without parsing.
//
//   offset 0   header (48 bytes):
//     char[8]  magic "GENCHAIN"
//     u32      format version (1)
//     u32      file type (the first line of .arm: 1)
//     u64      states
//     u64      entries (destination-rate pairs, over all records)
//     u64      offset of the rate table
//     u32      distinct rates
//     u32      0
//   offset 48  one record per state, in state order 1, 2, ...:
//     u32      the number of destinations
//     then per destination, ascending as in .arm: u32 destination, u32 rate index
//   the rate table: the distinct rates as f64, in order of first appearance
//
// A rate is the double that the entry's text in .arm reads back as (the summed rate,
// or minus the probability of a deterministic firing, to 11 significant digits), so
// that both forms are the same chain and a solver gives the same numbers from each.
#pragma once

#include <cstdint>
#include <cstring>

namespace chainformat {

constexpr char kMagic[8] = {'G', 'E', 'N', 'C', 'H', 'A', 'I', 'N'};
constexpr uint32_t kVersion = 1;
constexpr const char* kSuffix = ".armb";

struct Header {
    char magic[8];
    uint32_t version;
    uint32_t fileType;
    uint64_t states;
    uint64_t entries;
    uint64_t rateTableOffset;
    uint32_t rates;
    uint32_t reserved;
};
static_assert(sizeof(Header) == 48, "the header is 48 bytes on disk");

struct Entry {
    uint32_t destination;
    uint32_t rate;
};
static_assert(sizeof(Entry) == 8, "an entry is 8 bytes on disk");

} // namespace chainformat
