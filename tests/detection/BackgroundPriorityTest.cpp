#include "detection/BackgroundPriority.hpp"

#include "core/LoopThreads.hpp"

#include <gtest/gtest.h>
#include <opencv2/core/utility.hpp>

#include <sched.h>
#include <sys/resource.h>

#include <map>
#include <thread>

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
