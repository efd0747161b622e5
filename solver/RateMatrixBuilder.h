// Builds a RateMatrix row by row, in the compact form while the distinct rates fit
// its table and in the full form from the entry that would overflow it on (the
// entries so far are then converted once).
//
// Rates are told apart by their bits: the same value read twice has the same bits,
// and the rates added are positive, so no two encodings of one value (0 and -0)
// occur. The rate last added is tried first, then a hash table of the distinct
// ones, both of which stay in the cache for the few rates of a typical chain.
#pragma once

#include "solver/RateMatrix.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class RateMatrixBuilder {
  public:
    // `rows` and `entries`: what to reserve room for (`entries` may be a guess).
    RateMatrixBuilder(size_t rows, size_t entries);

    // An entry of the current row; columns are taken as they come.
    void Add(uint32_t column, double rate) {
        m_.column.push_back(column);
        if (full_) {
            m_.rate.push_back(rate);
            return;
        }
        uint64_t bits;
        std::memcpy(&bits, &rate, sizeof bits);
        if (bits != lastBits_ || m_.rateTable.empty())
            Look(bits, rate);
        if (full_)
            m_.rate.push_back(rate);
        else
            m_.rateIndex.push_back(lastIndex_);
    }
    // Ends the current row (the first row starts at construction).
    void EndRow() { m_.rowStart.push_back(m_.column.size()); }
    // The matrix with the rows ended so far.
    RateMatrix Finish();

  private:
    // Sets lastBits_ and lastIndex_ to the rate's entry in the table, adding it if
    // it is new; switches to the full form when it does not fit.
    void Look(uint64_t bits, double rate);
    void Grow();
    void GoFull();

    RateMatrix m_;
    bool full_ = false;
    uint64_t lastBits_ = 0;
    uint16_t lastIndex_ = 0;
    // Open addressing: slot_ holds 1 + the table index, 0 for a free slot.
    std::vector<uint64_t> key_;
    std::vector<uint32_t> slot_;
    unsigned shift_ = 0; // 64 - log2 of the number of slots
};
