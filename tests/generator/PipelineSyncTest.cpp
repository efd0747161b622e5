// When one of the two exploring threads ends the process, the other must stop before
// exit closes the files and streams it may be writing. These tests end the process
// from one thread while the other keeps working, and check from an exit handler that
// runs after the hand-over's own that the working thread has stopped.

#include "generator/PipelineSync.h"
#include "generator/StateSpaceGenFormat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<uint64_t> work{0};

// Registered before any PipelineSync exists, so it runs after the hand-over's
// handler: the worker must be standing still by then.
void CheckWorkerStopped() {
    const uint64_t before = work.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    _exit(work.load() == before ? 3 : 4);
}

void Work() {
    for (;;) {
        PipelineSync::StopIfEnding();
        work.fetch_add(1);
    }
}

void EndTheProcessSoonFromAnotherThread() {
    std::thread ender([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::exit(1);
    });
    ender.detach();
}

TEST(PipelineSyncDeathTest, ExitFromAnotherThreadStopsTheMainThread) {
    EXPECT_EXIT(
        {
            std::atexit(CheckWorkerStopped);
            PipelineSync sync;
            EndTheProcessSoonFromAnotherThread();
            Work();
        },
        ::testing::ExitedWithCode(3), "");
}

TEST(PipelineSyncDeathTest, ExitFromTheMainThreadStopsTheOtherThread) {
    EXPECT_EXIT(
        {
            std::atexit(CheckWorkerStopped);
            PipelineSync sync;
            std::thread worker(Work);
            worker.detach();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::exit(1);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST(PipelineSyncDeathTest, AWaitingThreadStopsToo) {
    // The recording thread waits for a firing that never comes: the firing thread
    // ends the process instead.
    EXPECT_EXIT(
        {
            std::atexit(CheckWorkerStopped);
            PipelineSync sync;
            EndTheProcessSoonFromAnotherThread();
            sync.WaitUntil([&] {
                work.fetch_add(1);
                return sync.fired.load() > 0;
            });
        },
        ::testing::ExitedWithCode(3), "");
}

TEST(PipelineSyncDeathTest, WithoutAPipelineExitIsUnchanged) {
    EXPECT_EXIT(
        {
            { PipelineSync done; }
            std::exit(5);
        },
        ::testing::ExitedWithCode(5), "");
}

TEST(OutputBufferHandOffTest, BytesReachTheStreamInOrder) {
    // Lines of varying length, several buffers' worth, written through a buffer
    // that hands its full buffers to another thread; the stream must get exactly
    // the bytes written, in order, also those written after the hand-off ended.
    std::ostringstream out;
    std::string expected;
    PipelineSync sync;
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        while (!stop.load())
            if (!sync.WritePending())
                std::this_thread::yield();
    });
    {
        OutputBuffer buffer(out);
        buffer.HandOffTo(&sync);
        auto put = [&](uint32_t i) {
            const std::string line = std::to_string(i) + std::string(i % 37, 'x') + "\n";
            char* at = buffer.Reserve(line.size());
            std::memcpy(at, line.data(), line.size());
            buffer.Commit(at + line.size());
            expected += line;
        };
        uint32_t i = 0;
        while (expected.size() < 5 * OutputBuffer::Capacity + 12345)
            put(i++);
        buffer.EndHandOff();
        stop.store(true);
        writer.join();
        for (uint32_t k = 0; k < 1000; k++)
            put(i++);
    }
    ASSERT_EQ(out.str().size(), expected.size());
    EXPECT_TRUE(out.str() == expected);
}

} // namespace
