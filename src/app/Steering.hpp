#pragma once
// The steering step of one frame, in pixels: negative left, positive right, 0 none.

#include <functional>

class Config;

// The detection thread's value (takeShift, which takes it once) while detection is on; a key
// step of n or m replaces it and is used up. While detection is off the value waits.
int takeSteeringStep(Config& config, const std::function<int()>& takeShift);
