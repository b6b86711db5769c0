#include "app/CallingThread.hpp"

#include "core/LoopThreads.hpp"

#include <gtest/gtest.h>

#include <sched.h>
#include <unistd.h>

#include <map>

// The frame's work stays on the main thread, in its own class, however many threads the
// library's pool has.
TEST(CallingThread, LoopsWithinTheWorkStayOnTheCallingThread) {
    std::map<pid_t, Scheduling> classes;
    runOnCallingThread([&] { classes = loopClasses(); });
    ASSERT_EQ(classes.size(), 1u);
    EXPECT_EQ(classes.begin()->first, gettid());
    EXPECT_EQ(classes.begin()->second.first, sched_getscheduler(0)) << "the calling thread's own";
}
