#include "app/Steering.hpp"

#include "core/Config.hpp"

int takeSteeringStep(Config& config, const std::function<int()>& takeShift) {
    int step = 0;
    if (config.detectionEnabled) {
        step = takeShift();
    }
    if (config.keyStep != 0) {
        step = config.keyStep;
        config.keyStep = 0;
    }
    return step;
}
