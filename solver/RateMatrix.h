// The transition rates of a chain in compressed rows: row i lists the entries
// (column, rate) of one state. Read from a state-space file the rows are the
// sources and the columns the destinations; Transposed() turns that around, which
// is the form the solvers sweep (each state gathers what flows into it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class RateMatrix {
  public:
    RateMatrix() = default;

    size_t Rows() const { return rowStart.empty() ? 0 : rowStart.size() - 1; }
    size_t Entries() const { return column.size(); }

    // The matrix with rows and columns exchanged; entries of each row stay in
    // ascending column order.
    RateMatrix Transposed() const;
    // Frees the storage.
    void Clear();

    std::vector<uint64_t> rowStart; // Rows() + 1 offsets into column and rate
    std::vector<uint32_t> column;   // 0-based state numbers
    std::vector<double> rate;
};
