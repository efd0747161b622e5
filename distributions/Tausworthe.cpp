#include "distributions/Tausworthe.h"

Tausworthe::~Tausworthe() {}

double Tausworthe::rnd() {
    std::uint32_t t = (state ^ (state << 13)) & 0x7fffffffu;
    state = t ^ (t >> 18);
    return state * 4.656612875245797e-10; // the double nearest to 1 / (2^31 - 1)
}

void Tausworthe::srnd(unsigned long seed) {
    state = static_cast<std::uint32_t>(seed);
}
