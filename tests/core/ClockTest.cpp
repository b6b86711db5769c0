#include "core/Clock.hpp"

#include <cstdint>
#include <gtest/gtest.h>

// The library counts nanoseconds since the machine started; a million times that count leaves
// 64 bits once the machine has run for 9,223 s.
TEST(Clock, TicksOfAMachineUpForHoursGiveTheirMicroseconds) {
    EXPECT_EQ(ticksToMicros(9851526838100, 1000000000), 9851526838);
    EXPECT_EQ(ticksToMicros(INT64_MAX, 1000000000), INT64_MAX / 1000);
    EXPECT_EQ(ticksToMicros(2500001, 1000000), 2500001);
}
