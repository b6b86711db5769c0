#include "app/FrameLoopPriority.hpp"

#include "core/OwnSlice.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <thread>

// On a thread of its own at nice 5, so that a nice value taken back to 0 shows.
TEST(FrameLoopPriority, ShortensOnlyTheSliceAndGivesItBack) {
    std::thread([] {
        ASSERT_EQ(setpriority(PRIO_PROCESS, 0, 5), 0); // on Linux, 0 is the calling thread
        const uint64_t before = ownSlice();
        {
            const FrameLoopPriority priority;
            // 0 before and after where the kernel keeps no slice of a thread's own.
            EXPECT_EQ(ownSlice(), before == 0 ? 0 : 100000u);
            EXPECT_EQ(getpriority(PRIO_PROCESS, 0), 5);
        }
        EXPECT_EQ(ownSlice(), before);
    }).join();
}
