#include "generator/PipelineSync.h"

#include <chrono>
#include <cstdlib>
#include <mutex>

namespace {

std::atomic<bool> active{false};
std::atomic<bool> ending{false};
std::atomic<int> stopped{0};

} // namespace

PipelineSync::PipelineSync() {
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(AtExit); });
    active.store(true, std::memory_order_release);
}

PipelineSync::~PipelineSync() {
    active.store(false, std::memory_order_release);
}

bool PipelineSync::WritePending() {
    const size_t n = pendingBytes.load(std::memory_order_acquire);
    if (n == 0)
        return false;
    pendingOut->write(pendingData, static_cast<std::streamsize>(n));
    pendingBytes.store(0, std::memory_order_release);
    return true;
}

void PipelineSync::StopIfEnding() {
    if (!ending.load(std::memory_order_acquire))
        return;
    stopped.fetch_add(1, std::memory_order_acq_rel);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

void PipelineSync::AtExit() {
    if (!active.load(std::memory_order_acquire))
        return;
    ending.store(true, std::memory_order_release);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (stopped.load(std::memory_order_acquire) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
