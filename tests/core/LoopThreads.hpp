#pragma once
// The threads that run the shares of one of the image library's parallel loops, each with its
// scheduling class and time slice, read apart from the code under test.

#include "core/OwnSlice.hpp"

#include <opencv2/core/utility.hpp>

#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

using Scheduling = std::pair<int, uint64_t>; // a thread's class and slice

// Every thread that runs a share of a loop of 64, by its thread id. Each share takes a moment,
// so that every thread of the pool gets one.
inline std::map<pid_t, Scheduling> loopClasses() {
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
