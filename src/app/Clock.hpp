#pragma once
// The microsecond clock shared by the main loop, the screens and the cars. Tests replace it
// with a clock of their own so that timed behaviour runs without sleeping.

#include <cstdint>

using ClockFunction = int64_t (*)();

// The library's tick count in microseconds.
int64_t nowMicros();

// Replaces the clock for the whole process; nullptr brings back the real one.
void setClock(ClockFunction clock);
