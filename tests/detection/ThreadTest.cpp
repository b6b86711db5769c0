#include "detection/Thread.hpp"

#include <atomic>
#include <gtest/gtest.h>

namespace {
// A body that waits until the test lets it end, so the states in between can be seen.
class GatedThread : public Thread {
public:
    ~GatedThread() override {
        open = true;
        if (joinable())
            join();
    }
    std::atomic<bool> open{false};

protected:
    void run() override {
        while (!open)
            std::this_thread::yield();
    }
};

void waitForState(const Thread& thread, int state) {
    while (thread.state != state)
        std::this_thread::yield();
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
