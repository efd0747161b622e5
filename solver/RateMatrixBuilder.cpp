#include "solver/RateMatrixBuilder.h"

#include <utility>

namespace {

constexpr unsigned kFirstSlotBits = 6;

size_t Hash(uint64_t bits, unsigned shift) {
    return static_cast<size_t>((bits * 0x9E3779B97F4A7C15ull) >> shift);
}

} // namespace

RateMatrixBuilder::RateMatrixBuilder(size_t rows, size_t entries) {
    m_.rowStart.reserve(rows + 1);
    m_.rowStart.push_back(0);
    m_.column.reserve(entries);
    m_.rateIndex.reserve(entries);
    key_.assign(size_t(1) << kFirstSlotBits, 0);
    slot_.assign(size_t(1) << kFirstSlotBits, 0);
    shift_ = 64 - kFirstSlotBits;
}

void RateMatrixBuilder::Look(uint64_t bits, double rate) {
    const size_t mask = slot_.size() - 1;
    size_t h = Hash(bits, shift_);
    while (slot_[h] != 0) {
        if (key_[h] == bits) {
            lastBits_ = bits;
            lastIndex_ = static_cast<uint16_t>(slot_[h] - 1);
            return;
        }
        h = (h + 1) & mask;
    }
    if (m_.rateTable.size() == RateMatrix::kMaxDistinct) {
        GoFull();
        return;
    }
    m_.rateTable.push_back(rate);
    key_[h] = bits;
    slot_[h] = static_cast<uint32_t>(m_.rateTable.size());
    lastBits_ = bits;
    lastIndex_ = static_cast<uint16_t>(m_.rateTable.size() - 1);
    // At most half full, so that a search ends soon at a free slot.
    if (2 * m_.rateTable.size() > slot_.size())
        Grow();
}

void RateMatrixBuilder::Grow() {
    std::vector<uint64_t> key(2 * key_.size(), 0);
    std::vector<uint32_t> slot(2 * slot_.size(), 0);
    shift_--;
    const size_t mask = slot.size() - 1;
    for (size_t s = 0; s < slot_.size(); s++) {
        if (slot_[s] == 0)
            continue;
        size_t h = Hash(key_[s], shift_);
        while (slot[h] != 0)
            h = (h + 1) & mask;
        key[h] = key_[s];
        slot[h] = slot_[s];
    }
    key_.swap(key);
    slot_.swap(slot);
}

void RateMatrixBuilder::GoFull() {
    full_ = true;
    // The entry being added has its column already but no rate yet.
    std::vector<double> rate;
    rate.reserve(m_.column.capacity());
    for (uint16_t i : m_.rateIndex)
        rate.push_back(m_.rateTable[i]);
    m_.rate.swap(rate);
    std::vector<uint16_t>().swap(m_.rateIndex);
    std::vector<double>().swap(m_.rateTable);
    std::vector<uint64_t>().swap(key_);
    std::vector<uint32_t>().swap(slot_);
}

RateMatrix RateMatrixBuilder::Finish() {
    // The room reserved beyond the entries is left as it is: the pages never written
    // take no memory, and giving it back would copy the arrays.
    return std::move(m_);
}
