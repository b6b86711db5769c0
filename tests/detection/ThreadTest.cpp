// The worker base: numbering, the states of the body and the rules of start and join.

#include "detection/Thread.hpp"

#include <gtest/gtest.h>

#include <system_error>

namespace {
Thread firstThread; // built during static initialisation, before any test makes one

class Recorder : public Thread {
public:
    std::atomic<int> seenInside{-1};
    std::atomic<bool> release{true};

protected:
    void run() override {
        seenInside = state.load();
        while (!release) {
            std::this_thread::yield();
        }
    }
};
} // namespace

TEST(ThreadLifecycle, NumberedNotStartedRunningFinished) {
    EXPECT_EQ(firstThread.number, 0);
    Recorder worker;
    EXPECT_GT(worker.number, 0);
    EXPECT_EQ(worker.state, NotStarted);
    worker.start();
    worker.join();
    EXPECT_EQ(worker.seenInside, Running);
    EXPECT_EQ(worker.state, Finished);
    // A plain Thread is destroyed started and unjoined: its destructor joins.
    auto plain = std::make_unique<Thread>();
    plain->start();
    plain.reset();
}

TEST(ThreadLifecycle, JoinWithoutThreadIsAnInvalidArgument) {
    Thread idle;
    try {
        idle.join();
        FAIL() << "join of an empty handle returned";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::invalid_argument);
    }
}

TEST(ThreadDeathTest, SecondStartTerminates) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Recorder worker;
            worker.release = false;
            worker.start();
            worker.start();
        },
        "");
}
