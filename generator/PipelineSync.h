#ifndef PIPELINESYNC_H
#define PIPELINESYNC_H

#include "BaseClasses/ProcessEnd.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <thread>

// The hand-over between the two threads that explore together: the coordinating
// thread submits states to fire, in order, and the firing thread reports them fired,
// in order. Both counters only grow; a slot's contents are handed over by the
// release store of a counter and the acquire load that sees it.
//
// A thread that ends the process does so through EndProcess, which destroys
// nothing; the other thread parks at its next wait or state (ParkIfEnding), so that
// it neither reports a second failure nor writes on after the first.
class PipelineSync {
  public:
    PipelineSync() = default;
    PipelineSync(const PipelineSync&) = delete;
    PipelineSync& operator=(const PipelineSync&) = delete;

    // Each on a cache line of its own: each is written by one thread only.
    alignas(64) std::atomic<uint64_t> submitted{0};
    alignas(64) std::atomic<uint64_t> fired{0};
    alignas(64) std::atomic<bool> finished{false};

    // Bytes the coordinating thread hands over for the other thread to write into
    // `pendingOut`; `pendingBytes` is 0 when nothing waits, and is set last.
    std::ostream* pendingOut = nullptr;
    const char* pendingData = nullptr;
    alignas(64) std::atomic<size_t> pendingBytes{0};
    // Called by the other thread: writes what waits, if anything; returns whether it
    // did.
    bool WritePending();

    // Returns once ready() holds. Spins briefly (hand-overs are frequent and short),
    // then yields the processor.
    template <class Ready> void WaitUntil(Ready ready) const {
        for (uint32_t spins = 0; !ready(); spins++) {
            ParkIfEnding();
            if (spins < 4096)
                Relax();
            else
                std::this_thread::yield();
        }
    }

  private:
    static void Relax() {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
};

#endif
