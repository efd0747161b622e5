#ifndef LAGGEDFIBONACCI_H
#define LAGGEDFIBONACCI_H

#include "distributions/RandomNumberGenerator.h"

// Uniform variates from Knuth's lagged-Fibonacci generator, handed out from a
// batch of 100.
//
// The generator state (ran_u) and the read position into the batch are shared by
// all instances: two instances used alternately consume one common position. The
// process uses a single instance, for which this is the plain sequence of batches.
class LaggedFibonacci : public RandomNumberGenerator {
  public:
    static const int BufferSize = 100;
    // Seed used by the constructor, so that an instance never hands out an
    // unfilled batch; the same seed the process-wide generator gets.
    static const unsigned long DefaultSeed = 31415;

    // The batch being handed out by rnd().
    double buffer[BufferSize];

    LaggedFibonacci();
    ~LaggedFibonacci() override;

    // The next number of the batch; refills the batch when the shared position has
    // reached its end.
    double rnd() override;
    // Restarts the shared sequence from the seed and fills the batch twice, so the
    // batch then holds the second 100 numbers after the seed.
    void srnd(unsigned long seed) override;
};

#endif
