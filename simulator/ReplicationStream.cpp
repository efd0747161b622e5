#include "simulator/ReplicationStream.h"

#include "distributions/Rnd-KnuthLaggedFibonacci.h"

#include <cstring>
#include <mutex>

namespace {

// Guards the framework's process-wide generator state while a stream borrows it.
std::mutex& SharedStateLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

ReplicationStream::ReplicationStream() : state_(), batch_(), position_(kBatch) {
    srnd(31415);
}

ReplicationStream::~ReplicationStream() {}

void ReplicationStream::srnd(unsigned long seed) {
    std::lock_guard<std::mutex> hold(SharedStateLock());
    double saved[kLag];
    std::memcpy(saved, ran_u, sizeof saved);
    ranf_start(static_cast<long>(seed));
    // The framework's LaggedFibonacci::srnd fills its batch twice: its first number
    // is the 101st of the sequence.
    ranf_array(batch_, kLag);
    std::memcpy(state_, ran_u, sizeof state_);
    std::memcpy(ran_u, saved, sizeof saved);
    position_ = kBatch;
}

void ReplicationStream::Refill() {
    std::lock_guard<std::mutex> hold(SharedStateLock());
    double saved[kLag];
    std::memcpy(saved, ran_u, sizeof saved);
    std::memcpy(ran_u, state_, sizeof state_);
    ranf_array(batch_, kBatch);
    std::memcpy(state_, ran_u, sizeof state_);
    std::memcpy(ran_u, saved, sizeof saved);
    position_ = 0;
}

unsigned long ReplicationStream::SeedOf(uint64_t seed, uint64_t k) {
    // splitmix64's finaliser: nearby user seeds land far apart in the seed range.
    uint64_t z = seed + 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    return static_cast<unsigned long>((z % kSeeds + k % kSeeds) % kSeeds);
}
