#include "generator/RateInfoType.h"

#include "BaseClasses/StandardErrors.h"

#include <cstdint>
#include <iostream>
#include <new>

namespace {

constexpr int kInitialStates = 10;
const char* const kDashes = "-----------------------------------";

} // namespace

RateInfoType::RateInfoType()
    : numStates(0), stateCapacity(kInitialStates), Value(0.0), states(nullptr), ownsStates(true) {
    states = new (std::nothrow) int[stateCapacity];
    if (states == nullptr)
        MemoryAllocationError();
}

RateInfoType::~RateInfoType() {
    if (ownsStates)
        delete[] states;
}

void RateInfoType::insertState(int n) {
    if (numStates == stateCapacity) {
        const int capacity = stateCapacity > 0 ? 2 * stateCapacity : kInitialStates;
        int* grown = new (std::nothrow) int[capacity];
        if (grown == nullptr)
            MemoryAllocationError();
        for (int i = 0; i < numStates; i++)
            grown[i] = states[i];
        if (ownsStates)
            delete[] states;
        states = grown;
        ownsStates = true;
        stateCapacity = capacity;
    }
    states[numStates++] = n;
}

void RateInfoType::writeStates(std::ostream& out, OutputFileType type) {
    if (type == BinaryOutput) {
        out.write(reinterpret_cast<const char*>(&Value), sizeof(Value));
        for (int i = 0; i < numStates; i++) {
            const int32_t n = states[i];
            out.write(reinterpret_cast<const char*>(&n), sizeof(n));
        }
        const char terminator[2] = {0, 0};
        out.write(terminator, sizeof(terminator));
        return;
    }
    const std::ios::fmtflags flags = out.flags();
    const std::streamsize precision = out.precision();
    out.setf(std::ios::scientific, std::ios::floatfield);
    out.precision(10);
    out << Value << '\n';
    out.flags(flags);
    out.precision(precision);
    for (int i = 0; i < numStates; i++)
        out << states[i] << '\n';
    out << 0 << '\n';
}

void RateInfoType::printValueAndStates() {
    std::cout << "Value = " << Value << std::endl;
    for (int i = 0; i < numStates; i++)
        std::cout << "[" << i << "] " << states[i] << std::endl;
}

void RateInfoType::printStates() {
    std::cout << kDashes << std::endl;
    printValueAndStates();
    std::cout << kDashes << std::endl;
}
