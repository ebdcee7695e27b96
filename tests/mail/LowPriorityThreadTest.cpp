#include "LowPriorityThread.h"

#include <atomic>
#include <cerrno>
#include <chrono>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

namespace {

int OwnNiceness()
{
    return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
}

} // namespace

TEST(LowPriorityThreadTest, BodyRunsBelowTheStartersPriority)
{
    const int starter = OwnNiceness();
    std::atomic<int> worker{starter};
    {
        LowPriorityThread thread;
        thread.Start([&] { worker = OwnNiceness(); });
    }
    // Niceness is capped at 19; a starter already there cannot go lower.
    if (starter < 19) {
        EXPECT_GT(worker.load(), starter);
    } else {
        EXPECT_EQ(worker.load(), starter);
    }
    EXPECT_EQ(OwnNiceness(), starter); // the starter keeps its own
}

TEST(LowPriorityThreadTest, DestroyingWaitsForTheBody)
{
    std::atomic<bool> done{false};
    {
        LowPriorityThread thread;
        thread.Start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            done = true;
        });
    }
    EXPECT_TRUE(done.load());
}

TEST(LowPriorityThreadTest, JoinWaitsForTheBodyOnce)
{
    std::atomic<bool> done{false};
    LowPriorityThread thread;
    thread.Join(); // never started: nothing to wait for
    thread.Start([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        done = true;
    });
    EXPECT_TRUE(thread.Joinable());
    thread.Join();
    EXPECT_TRUE(done.load());
    EXPECT_FALSE(thread.Joinable());
    thread.Join(); // already joined
}
