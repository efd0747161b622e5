#ifndef TAUSWORTHE_H
#define TAUSWORTHE_H

#include "distributions/RandomNumberGenerator.h"

#include <cstdint>

// A one-word shift-register generator. Its variates lie in [0, 1], 1 included.
// 0 is a fixed point of the step: a state that reaches 0 returns 0 forever.
class Tausworthe : public RandomNumberGenerator {
  public:
    // State of an instance that is never seeded; any value off the fixed point.
    static const std::uint32_t DefaultSeed = 31415;

    std::uint32_t state;

    Tausworthe() : state(DefaultSeed) {}
    ~Tausworthe() override;

    double rnd() override;
    // The state becomes the low 32 bits of the seed.
    void srnd(unsigned long seed) override;
};

#endif
