// The transition rates of a chain in compressed rows: row i lists the entries
// (column, rate) of one state. Read from a state-space file the rows are the
// sources and the columns the destinations; Transposed() turns that around, which
// is the form the solvers sweep (each state gathers what flows into it).
//
// The rates come in one of two forms. The chains of the models seen have a handful
// of distinct rates among a hundred million entries: while there are at most
// kMaxDistinct of them, each entry holds a 16-bit index into a table of the
// distinct values (compact), which halves the matrix and the memory traffic of
// every sweep over it. Beyond that each entry holds its rate (full). The loops
// over the entries take the form as a template parameter through WithRates(), so
// that they have no test per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class RateMatrix {
  public:
    static constexpr size_t kMaxDistinct = size_t(1) << 16;

    // The rates of the entries, by entry number, in each of the two forms.
    struct FullRates {
        const double* rate;
        double operator[](uint64_t k) const { return rate[k]; }
    };
    struct CompactRates {
        const uint16_t* index;
        const double* table;
        double operator[](uint64_t k) const { return table[index[k]]; }
    };

    RateMatrix() = default;

    size_t Rows() const { return rowStart.empty() ? 0 : rowStart.size() - 1; }
    size_t Entries() const { return column.size(); }
    bool Compact() const { return !rateTable.empty(); }

    // The rate of entry k, for the loops that are not worth a template.
    double Rate(uint64_t k) const { return Compact() ? rateTable[rateIndex[k]] : rate[k]; }

    // Calls f(FullRates) or f(CompactRates), whichever form the matrix has, and
    // returns what it returns.
    template <class F> decltype(auto) WithRates(F&& f) const {
        if (Compact())
            return f(CompactRates{rateIndex.data(), rateTable.data()});
        return f(FullRates{rate.data()});
    }

    // The matrix with rows and columns exchanged; entries of each row stay in
    // ascending column order, and the rates keep their form.
    RateMatrix Transposed() const;
    // Frees the storage.
    void Clear();

    std::vector<uint64_t> rowStart;  // Rows() + 1 offsets into column and the rates
    std::vector<uint32_t> column;    // 0-based state numbers
    std::vector<double> rate;        // per entry; empty when compact
    std::vector<uint16_t> rateIndex; // per entry, into rateTable; empty when full
    std::vector<double> rateTable;   // the distinct rates; empty when full
};
