#pragma once
// The microsecond clock of the game. The main loop reads it once per frame and hands the value
// to everything that keeps time, so that tests drive timed behaviour with values of their own.

#include <cstdint>

// The library's tick count in microseconds.
int64_t nowMicros();
// A tick count at the given ticks a second in microseconds, rounded down.
int64_t ticksToMicros(int64_t ticks, int64_t frequency);
