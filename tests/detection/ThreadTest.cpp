#include "detection/Thread.hpp"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <system_error>

namespace {
// A body that waits until the test lets it end, so the states in between can be seen.
class GatedThread : public Thread {
public:
    ~GatedThread() override {
        open = true;
        if (joinable()) {
            join();
        }
    }
    std::atomic<bool> open{false};

protected:
    void run() override {
        while (!open) {
            std::this_thread::yield();
        }
    }
};

void waitForState(const Thread& thread, int state) {
    while (thread.state != state) {
        std::this_thread::yield();
    }
}
} // namespace

TEST(ThreadLifecycle, NumbersCountUpAndStatesRunInOrder) {
    GatedThread first;
    Thread second;
    EXPECT_EQ(second.number, first.number + 1);
    EXPECT_EQ(first.state, NotStarted);
    first.start();
    waitForState(first, Running);
    first.open = true;
    waitForState(first, Finished);
    first.join();
    EXPECT_FALSE(first.joinable());

    // The base body returns at once; never started, the object goes without blocking.
    second.start();
    second.join();
    EXPECT_EQ(second.state, Finished);
    Thread neverStarted;
}

TEST(ThreadLifecycle, JoinWithoutAThreadIsAnInvalidArgument) {
    Thread thread;
    try {
        thread.join();
        FAIL() << "join of an empty handle must throw";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::invalid_argument);
    }
}

// Both run in a fresh process of their own ("threadsafe" style re-runs the program).
TEST(ThreadLifecycleDeathTest, FirstObjectOfTheProcessIsNumberZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Thread first;
            std::exit(first.number == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ThreadLifecycleDeathTest, SecondStartWhileJoinableTerminates) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            GatedThread thread;
            thread.start();
            thread.start();
        },
        "");
}
