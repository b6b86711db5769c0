// The worker base: numbering, the states of the body and the rules of start and join.

#include "detection/Thread.hpp"

#include <gtest/gtest.h>

#include <system_error>

namespace {

// Built during static initialisation, before any test makes a thread of its own.
Thread firstThread;

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

TEST(ThreadNumber, CountsFromZeroInConstructionOrder) {
    EXPECT_EQ(firstThread.number, 0);
    Thread a;
    Thread b;
    EXPECT_EQ(b.number, a.number + 1);
}

TEST(ThreadLifecycle, NotStartedThenRunningThenFinished) {
    Recorder worker;
    EXPECT_EQ(worker.state, NotStarted);
    worker.start();
    worker.join();
    EXPECT_EQ(worker.seenInside, Running);
    EXPECT_EQ(worker.state, Finished);
    EXPECT_FALSE(worker.handle.joinable());

    Thread plain; // the base body returns at once
    plain.start();
    plain.join();
    EXPECT_EQ(plain.state, Finished);
}

TEST(ThreadLifecycle, DestroyingJoinsAStartedThread) {
    // A plain Thread: a derived one would already have lost its own part while the base
    // destructor joins.
    auto worker = std::make_unique<Thread>();
    worker->start();
    worker.reset(); // must neither hang nor terminate once the body has returned
    Thread never;   // and a thread never started goes away quietly
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
