// Ending the process from any thread: exactly one report and one status, whatever
// the other threads are doing at the time.

#include "BaseClasses/ProcessEnd.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <iostream>
#include <new>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using ::testing::ExitedWithCode;

void MarkCleanup() {
    static const char text[] = "cleanup ran\n";
    (void)!write(STDERR_FILENO, text, sizeof text - 1);
}

// Starts two threads that wait for each other and then run `first` and `second` at
// the same moment; returns only if neither ends the process.
template <class A, class B> void AtOnce(A first, B second) {
    std::atomic<int> ready{0};
    auto start = [&ready] {
        ready.fetch_add(1);
        while (ready.load() < 2) {
        }
    };
    std::thread a([&] {
        start();
        first();
    });
    std::thread b([&] {
        start();
        second();
    });
    a.join();
    b.join();
}

// A thread that keeps growing memory, as the exploration does while the table and
// the queue grow: a checkpoint between growths (as in the pipeline loops), or none.
void Grow(bool checkpoints) {
    std::vector<std::vector<char>> blocks;
    for (size_t n = 0;; n++) {
        if (checkpoints)
            ParkIfEnding();
        blocks.emplace_back(4096 + n % 4096, static_cast<char>(n));
        if (blocks.size() > 4096)
            blocks.clear();
    }
}

TEST(ProcessEndDeathTest, AFatalOnEitherThreadEndsTheProcessOnceWhileTheOtherGrows) {
    // Which thread fails, and whether the busy one looks for the end between its
    // growths; the busy one must never report, nor the process end twice.
    struct Case {
        bool failOnMainThread;
        bool checkpoints;
    } cases[] = {{false, true}, {false, false}, {true, true}, {true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "fail on main " << c.failOnMainThread << ", checkpoints " << c.checkpoints);
        EXPECT_EXIT(
            {
                SetEndCleanup(MarkCleanup);
                auto fail = [] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(30));
                    Fatal(std::cerr, "the failing thread reports\n");
                };
                auto busy = [&c] { Grow(c.checkpoints); };
                if (c.failOnMainThread)
                    AtOnce(busy, fail);
                else
                    AtOnce(fail, busy);
            },
            ExitedWithCode(1), ::testing::Eq("the failing thread reports\ncleanup ran\n"));
    }
}

TEST(ProcessEndDeathTest, TwoThreadsFailingTogetherGiveOneReportAndItsStatus) {
    // Both reach a fatal condition at the same moment: one of them reports with its
    // own status, the other parks. Repeated, as the race is decided anew each time.
    for (int round = 0; round < 20; round++) {
        EXPECT_EXIT(
            {
                SetEndCleanup(MarkCleanup);
                AtOnce([] { EndProcess(std::cerr, "first failed\n", 3); },
                       [] { EndProcess(std::cerr, "second failed\n", 3); });
            },
            ExitedWithCode(3),
            ::testing::AnyOf(::testing::Eq("first failed\ncleanup ran\n"),
                             ::testing::Eq("second failed\ncleanup ran\n")))
            << "round " << round;
    }
}

TEST(ProcessEndDeathTest, FailingAgainWhileReportingEndsAtOnce) {
    // The cleanup of the ending thread itself fails: it must not wait for itself.
    EXPECT_EXIT(
        {
            SetEndCleanup([] { Fatal(std::cerr, "cleanup failed\n"); });
            EndProcess(std::cerr, "first report\n", 2);
        },
        ExitedWithCode(1), ::testing::Eq("first report\ncleanup failed\n"));
}

TEST(ProcessEndDeathTest, FailedAllocationGivesTheOutOfMemoryReport) {
    if (testsupport::kSanitized)
        GTEST_SKIP() << "the sanitizer's allocator reports an impossible size itself";
    EXPECT_EXIT(
        {
            InstallOutOfMemoryHandler();
            void* p = ::operator new(static_cast<size_t>(1) << 62);
            std::cerr << "allocated " << p << "\n";
        },
        ExitedWithCode(1),
        ::testing::StartsWith("Insufficient Memory to allocate dynamic data structures"));
}

} // namespace
