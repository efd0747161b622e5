#include "generator/PipelineSync.h"

bool PipelineSync::WritePending() {
    const size_t n = pendingBytes.load(std::memory_order_acquire);
    if (n == 0)
        return false;
    pendingOut->write(pendingData, static_cast<std::streamsize>(n));
    pendingBytes.store(0, std::memory_order_release);
    return true;
}
