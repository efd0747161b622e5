#ifndef BINARYCHAINWRITER_H
#define BINARYCHAINWRITER_H

#include "generator/StateSpaceGen.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class OutputBuffer;

// Writes the binary state-space file (see common/ChainFormat.h) record by record,
// beside or instead of the text one. The rate table is gathered on the way: a small
// direct-mapped cache in front of a map from a rate's bits to its index, since the
// models seen have a handful of distinct rates among millions of entries.
class BinaryChainWriter {
  public:
    // Opens `path`; a failure ends the run with the message of the text file's.
    explicit BinaryChainWriter(const char* path);
    ~BinaryChainWriter();
    BinaryChainWriter(const BinaryChainWriter&) = delete;
    BinaryChainWriter& operator=(const BinaryChainWriter&) = delete;

    // The record of the next state: its transitions, finished (ascending, merged).
    void Add(const TransitionList& transitions);
    // Writes the rate table and the header; false, with the message on standard
    // error, when the file could not be written.
    bool Finish(uint32_t fileType);

  private:
    uint32_t IndexOf(double rate);

    std::ofstream out_;
    std::unique_ptr<OutputBuffer> buffer_;
    uint64_t states_ = 0;
    uint64_t entries_ = 0;
    std::vector<double> rates_;
    std::unordered_map<uint64_t, uint32_t> indexOf_;
    struct Cached {
        uint64_t bits;
        uint32_t index; // UINT32_MAX: empty
    };
    std::vector<Cached> cache_;
};

#endif
