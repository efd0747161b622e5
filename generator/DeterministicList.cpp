#include "generator/DeterministicList.h"

#include "BaseClasses/StandardErrors.h"

#include <cstdint>
#include <iostream>
#include <new>

namespace {

constexpr int kInitialGroups = 2;
const char* const kDashes = "-----------------------------------";

} // namespace

DeterministicList::DeterministicList()
    : RateInfoSize(0), RateInfoCapacity(kInitialGroups), rateInfo(nullptr) {
    rateInfo = new (std::nothrow) RateInfoType[RateInfoCapacity];
    if (rateInfo == nullptr)
        MemoryAllocationError();
}

DeterministicList::~DeterministicList() {
    delete[] rateInfo;
}

void DeterministicList::insertEnablingState(int n, double delay) {
    for (int i = 0; i < RateInfoSize; i++) {
        if (rateInfo[i].Value == delay) {
            rateInfo[i].insertState(n);
            return;
        }
    }
    if (RateInfoSize == RateInfoCapacity)
        increaseRateInfoSize(RateInfoCapacity > 0 ? 2 * RateInfoCapacity : kInitialGroups);
    RateInfoType& group = rateInfo[RateInfoSize];
    group.Value = delay;
    group.insertState(n);
    RateInfoSize++;
}

void DeterministicList::increaseRateInfoSize(int capacity) {
    if (capacity < RateInfoSize)
        capacity = RateInfoSize;
    RateInfoType* grown = new (std::nothrow) RateInfoType[capacity > 0 ? capacity : 1];
    if (grown == nullptr)
        MemoryAllocationError();
    for (int i = 0; i < RateInfoSize; i++) {
        RateInfoType& to = grown[i];
        RateInfoType& from = rateInfo[i];
        if (to.ownsStates)
            delete[] to.states;
        to.numStates = from.numStates;
        to.stateCapacity = from.stateCapacity;
        to.Value = from.Value;
        to.states = from.states;
        to.ownsStates = from.ownsStates;
        from.ownsStates = false; // the array now belongs to the new group
    }
    delete[] rateInfo;
    rateInfo = grown;
    RateInfoCapacity = capacity;
}

void DeterministicList::writeEnablingStates(std::ostream& out, OutputFileType type) {
    if (type == BinaryOutput) {
        const int32_t size = RateInfoSize;
        out.write(reinterpret_cast<const char*>(&size), sizeof(size));
    } else {
        out << RateInfoSize << '\n';
    }
    for (int i = 0; i < RateInfoSize; i++)
        rateInfo[i].writeStates(out, type);
}

void DeterministicList::printEnablingStates() {
    std::cout << kDashes << std::endl;
    for (int i = 0; i < RateInfoSize; i++) {
        std::cout << "RateInfoSize = " << RateInfoSize << std::endl;
        std::cout << "RateInfoCapacity = " << RateInfoCapacity << std::endl;
        rateInfo[i].printValueAndStates();
    }
    std::cout << kDashes << std::endl;
}
