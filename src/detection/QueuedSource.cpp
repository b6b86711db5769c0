#include "detection/QueuedSource.hpp"

#include "core/Clock.hpp"

#include <chrono>
#include <cmath>
#include <thread>

QueuedSource::Clock QueuedSource::systemClock() {
    return {nowMicros, [](int64_t until) {
                const int64_t wait = until - nowMicros();
                if (wait > 0) {
                    std::this_thread::sleep_for(std::chrono::microseconds(wait));
                }
            }};
}

QueuedSource::QueuedSource(std::unique_ptr<FrameSource> source, double framesPerSecond,
                           std::size_t bufferCount, Clock given)
    : frames(std::move(source)), period(std::llround(1000000.0 / framesPerSecond)),
      buffers(bufferCount), clock(std::move(given)), nextArrival(clock.now()) {}

bool QueuedSource::isOpened() const {
    return frames->isOpened();
}

void QueuedSource::read(cv::Mat& frame) {
    arriveUntil(clock.now());
    if (queue.empty() && !framesEnded) {
        clock.sleepUntil(nextArrival);
        arriveUntil(nextArrival);
    }
    if (queue.empty()) {
        frame.release();
        return;
    }
    frame = queue.front().frame;
    captured = queue.front().arrival;
    queue.pop_front();
}

void QueuedSource::arriveUntil(int64_t until) {
    while (!framesEnded && nextArrival <= until) {
        // A dropped frame still passes by: the scene goes on while nobody takes it.
        cv::Mat arriving;
        frames->read(arriving);
        if (arriving.empty()) {
            framesEnded = true;
        } else if (queue.size() < buffers) {
            queue.push_back({arriving, nextArrival});
        }
        nextArrival += period;
    }
}
