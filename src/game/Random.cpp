#include "game/Random.hpp"

namespace {
// Built during static initialisation, before main runs.
cv::RNG processRng(static_cast<uint64_t>(cv::getTickCount()));
} // namespace

cv::RNG& rng() {
    return processRng;
}
