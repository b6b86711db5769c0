#pragma once
// The steering step of one frame, in pixels: negative left, positive right, 0 none.

#include <atomic>

class Config;

// The detection thread's value (taken and zeroed) while detection is on; a key step of n or
// m replaces it and is used up.
int takeSteeringStep(Config& config, std::atomic<int>& pendingShift);
