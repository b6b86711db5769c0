#include "detection/BackgroundPriority.hpp"

#include <gtest/gtest.h>
#include <opencv2/core/utility.hpp>

#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace {
// The scheduling class of every thread that runs a share of a parallel loop. Each share takes
// a moment, so that every thread of the pool gets one.
std::map<pid_t, int> loopClasses() {
    std::mutex mutex;
    std::map<pid_t, int> classes;
    const auto share = [&](const cv::Range&) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            classes[gettid()] = sched_getscheduler(0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    cv::parallel_for_(cv::Range(0, 64), share, 64);
    return classes;
}
} // namespace

TEST(BackgroundPriority, DetectionThreadAndPoolWorkersRunInTheBatchClass) {
    // The pool's workers start here, in the normal class; a worker started by a thread in the
    // batch class would inherit its class and prove nothing.
    loopClasses();
    int ownClass = -1;
    std::map<pid_t, int> classes;
    std::thread([&] {
        BackgroundPriority priority;
        ownClass = sched_getscheduler(0);
        classes = loopClasses();
    }).join();
    EXPECT_EQ(ownClass, SCHED_BATCH);
    if (cv::getNumThreads() > 1) {
        EXPECT_GT(classes.size(), 1u) << "the loop ran on the pool";
    }
    for (const auto& [thread, schedulingClass] : classes)
        EXPECT_EQ(schedulingClass, SCHED_BATCH) << "thread " << thread;
}

TEST(BackgroundPriority, LoopsWithinCallingThreadWorkStayOnTheCallingThread) {
    std::map<pid_t, int> classes;
    BackgroundPriority::runOnCallingThread([&] { classes = loopClasses(); });
    ASSERT_EQ(classes.size(), 1u);
    EXPECT_EQ(classes.begin()->first, gettid());
    EXPECT_EQ(classes.begin()->second, sched_getscheduler(0)) << "the calling thread's own";
}
