#include "solver/RateMatrix.h"

RateMatrix RateMatrix::Transposed() const {
    const size_t n = Rows();
    RateMatrix t;
    t.rowStart.assign(n + 1, 0);
    for (uint32_t c : column)
        t.rowStart[c + 1]++;
    for (size_t i = 0; i < n; i++)
        t.rowStart[i + 1] += t.rowStart[i];
    t.column.resize(column.size());
    t.rate.resize(rate.size());
    std::vector<uint64_t> next(t.rowStart.begin(), t.rowStart.end() - 1);
    // Rows in ascending order fill every transposed row in ascending column order.
    for (size_t i = 0; i < n; i++) {
        for (uint64_t k = rowStart[i]; k < rowStart[i + 1]; k++) {
            const uint64_t at = next[column[k]]++;
            t.column[at] = static_cast<uint32_t>(i);
            t.rate[at] = rate[k];
        }
    }
    return t;
}

void RateMatrix::Clear() {
    std::vector<uint64_t>().swap(rowStart);
    std::vector<uint32_t>().swap(column);
    std::vector<double>().swap(rate);
}
