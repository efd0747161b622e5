// The framework's uniform random numbers (Knuth's lagged-Fibonacci generator of
// distributions/Rnd-KnuthLaggedFibonacci) as one stream per object. The framework
// keeps that generator's state in one process-wide array, so two threads cannot
// draw from it at once; a stream keeps its own copy of the state and lends it to the
// framework's routines, under a lock, only while they fill its next batch. Seeded
// with s, a stream hands out exactly the numbers that the framework's
// LaggedFibonacci hands out after srnd(s).
#pragma once

#include "distributions/RandomNumberGenerator.h"

#include <cstdint>

class ReplicationStream : public RandomNumberGenerator {
  public:
    // Knuth's seeds are 0 to 2^30 - 3; streams of different seeds are guaranteed
    // far apart, so replication k of a run uses seed (base + k) mod kSeeds.
    static constexpr uint64_t kSeeds = (uint64_t(1) << 30) - 2;

    ReplicationStream();
    ~ReplicationStream() override;

    double rnd() override {
        if (position_ == kBatch)
            Refill();
        return batch_[position_++];
    }
    void srnd(unsigned long seed) override;

    // The seed of replication `k` of a run with the user's seed `seed`: the user's
    // seed is spread over the seed range, and consecutive replications take
    // consecutive seeds, so runs with different seeds share no stream for any
    // realistic number of replications.
    static unsigned long SeedOf(uint64_t seed, uint64_t k);

  private:
    // Batches are longer than the framework's 100 numbers so that the lock is
    // taken rarely; the sequence handed out is the same.
    static constexpr int kBatch = 1000;
    static constexpr int kLag = 100;

    void Refill();

    double state_[kLag];
    double batch_[kBatch];
    int position_;
};
