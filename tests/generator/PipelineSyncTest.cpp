// The hand-over between the two exploring threads: a thread that waits for the other
// parks when the process is ending, and the state-space bytes it writes for the
// other thread reach the file in order.

#include "BaseClasses/ProcessEnd.h"
#include "generator/PipelineSync.h"
#include "generator/StateSpaceGenFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace {

TEST(PipelineSyncDeathTest, AWaitingThreadParksWhileTheOtherEndsTheProcess) {
    // The recording thread waits for a firing that never comes: the firing thread
    // ends the process instead, and the waiting thread must neither go on nor report.
    EXPECT_EXIT(
        {
            PipelineSync sync;
            std::thread firer([] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                Fatal(std::cerr, "firing thread failed\n");
            });
            firer.detach();
            sync.WaitUntil([&] { return sync.fired.load() > 0; });
            Fatal(std::cerr, "the waiting thread went on\n");
        },
        ::testing::ExitedWithCode(1), ::testing::Eq("firing thread failed\n"));
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
