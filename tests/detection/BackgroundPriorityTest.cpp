#include "detection/BackgroundPriority.hpp"

#include "core/OwnSlice.hpp"

#include <gtest/gtest.h>
#include <opencv2/core/utility.hpp>

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace {
using Scheduling = std::pair<int, uint64_t>; // a thread's class and slice

// The scheduling class and slice of every thread that runs a share of a parallel loop. Each share
// takes a moment, so that every thread of the pool gets one.
std::map<pid_t, Scheduling> loopClasses() {
    std::mutex mutex;
    std::map<pid_t, Scheduling> classes;
    const auto share = [&](const cv::Range&) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            classes[gettid()] = {sched_getscheduler(0), ownSlice()};
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
    std::map<pid_t, Scheduling> classes;
    int ownNice = 0;
    std::thread([&] {
        setpriority(PRIO_PROCESS, 0, 3); // a nice value to keep, of this thread alone
        BackgroundPriority priority;
        ownNice = getpriority(PRIO_PROCESS, 0);
        classes = loopClasses(); // the calling thread takes its shares too
    }).join();
    EXPECT_EQ(ownNice, 3);
    if (cv::getNumThreads() > 1) {
        EXPECT_GT(classes.size(), 1u) << "the loop ran on the pool";
    }
    for (const auto& [thread, scheduling] : classes) {
        EXPECT_EQ(scheduling.first, SCHED_BATCH) << "thread " << thread;
        // The long slice where the kernel has one: ordinary threads preempt detection.
        EXPECT_TRUE(scheduling.second == 0 || scheduling.second == 8000000)
            << "thread " << thread << ": slice " << scheduling.second;
    }
}

TEST(BackgroundPriority, LoopsWithinCallingThreadWorkStayOnTheCallingThread) {
    std::map<pid_t, Scheduling> classes;
    BackgroundPriority::runOnCallingThread([&] { classes = loopClasses(); });
    ASSERT_EQ(classes.size(), 1u);
    EXPECT_EQ(classes.begin()->first, gettid());
    EXPECT_EQ(classes.begin()->second.first, sched_getscheduler(0)) << "the calling thread's own";
}
