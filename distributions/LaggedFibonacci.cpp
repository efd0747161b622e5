#include "distributions/LaggedFibonacci.h"

#include "distributions/Rnd-KnuthLaggedFibonacci.h"

LaggedFibonacci::LaggedFibonacci() : buffer() {
    srnd(DefaultSeed);
}

LaggedFibonacci::~LaggedFibonacci() {}

double LaggedFibonacci::rnd() {
    // Shared by every instance; starts at the front of the batch that srnd filled.
    static int position = 0;
    if (position == BufferSize) {
        position = 0;
        ranf_array(buffer, BufferSize);
    }
    return buffer[position++];
}

void LaggedFibonacci::srnd(unsigned long seed) {
    ranf_start(static_cast<long>(seed));
    ranf_array(buffer, BufferSize);
    ranf_array(buffer, BufferSize);
}
