#include "app/Steering.hpp"

#include "core/Config.hpp"

int takeSteeringStep(Config& config, std::atomic<int>& pendingShift) {
    int step = 0;
    if (config.detectionEnabled) {
        step = pendingShift;
        pendingShift = 0;
    }
    if (config.keyStep != 0) {
        step = config.keyStep;
        config.keyStep = 0;
    }
    return step;
}
