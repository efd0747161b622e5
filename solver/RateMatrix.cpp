#include "solver/RateMatrix.h"

namespace {

// Scatters the entries of `m` into the rows of its transpose `t`, whose rowStart
// is set; `from` and `to` are the per-entry rates (doubles or indices).
template <class Value>
void Scatter(const RateMatrix& m, const std::vector<Value>& from, RateMatrix& t,
             std::vector<Value>& to) {
    const size_t n = m.Rows();
    t.column.resize(m.column.size());
    to.resize(from.size());
    std::vector<uint64_t> next(t.rowStart.begin(), t.rowStart.end() - 1);
    const uint64_t* start = m.rowStart.data();
    const uint32_t* column = m.column.data();
    const Value* value = from.data();
    uint32_t* tColumn = t.column.data();
    Value* tValue = to.data();
    uint64_t* at = next.data();
    // Rows in ascending order fill every transposed row in ascending column order.
    for (size_t i = 0; i < n; i++) {
        for (uint64_t k = start[i]; k < start[i + 1]; k++) {
            const uint64_t p = at[column[k]]++;
            tColumn[p] = static_cast<uint32_t>(i);
            tValue[p] = value[k];
        }
    }
}

} // namespace

RateMatrix RateMatrix::Transposed() const {
    const size_t n = Rows();
    RateMatrix t;
    t.rowStart.assign(n + 1, 0);
    for (uint32_t c : column)
        t.rowStart[c + 1]++;
    for (size_t i = 0; i < n; i++)
        t.rowStart[i + 1] += t.rowStart[i];
    if (Compact()) {
        t.rateTable = rateTable;
        Scatter(*this, rateIndex, t, t.rateIndex);
    } else {
        Scatter(*this, rate, t, t.rate);
    }
    return t;
}

void RateMatrix::Clear() {
    std::vector<uint64_t>().swap(rowStart);
    std::vector<uint32_t>().swap(column);
    std::vector<double>().swap(rate);
    std::vector<uint16_t>().swap(rateIndex);
    std::vector<double>().swap(rateTable);
}
