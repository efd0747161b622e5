#include "BaseClasses/ProcessEnd.h"

#include "BaseClasses/StandardErrors.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <unistd.h>

namespace {

std::atomic<bool> ending{false};
// The ending thread may fail again while it reports (an allocation in a stream, a
// cleanup that reports): it must then end at once, not park behind itself.
thread_local bool endingHere = false;
std::atomic<void (*)()> cleanupHook{nullptr};

[[noreturn]] void Park() {
    for (;;)
        pause();
}

// Claims the end of the process for this thread, or parks it for good.
void Claim() {
    if (endingHere)
        return;
    bool expected = false;
    if (!ending.compare_exchange_strong(expected, true, std::memory_order_acq_rel))
        Park();
    endingHere = true;
}

[[noreturn]] void Finish(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    if (void (*cleanup)() = cleanupHook.exchange(nullptr))
        cleanup();
    std::_Exit(status);
}

void OutOfMemory() {
    MemoryAllocationError();
}

} // namespace

void EndProcess(std::ostream& out, const char* text, int status) {
    Claim();
    out << text;
    Finish(status);
}

void EndProcess(std::ostream& out, const std::string& text, int status) {
    Claim();
    out << text;
    Finish(status);
}

void EndProcess(int status) {
    Claim();
    Finish(status);
}

bool ProcessEnding() {
    return ending.load(std::memory_order_acquire);
}

void ParkIfEnding() {
    if (ending.load(std::memory_order_acquire) && !endingHere)
        Park();
}

void SetEndCleanup(void (*cleanup)()) {
    cleanupHook.store(cleanup);
}

void InstallOutOfMemoryHandler() {
    std::set_new_handler(OutOfMemory);
}
