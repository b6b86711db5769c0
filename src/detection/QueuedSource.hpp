#pragma once
// A camera driver's queue of frames in front of a source that gives its frames whenever it is
// asked (pictures and videos): frames arrive at a fixed rate into a queue of a few buffers, a
// frame that arrives while every buffer is full is dropped, as a V4L2 driver drops one when
// no buffer is free, and a read takes the oldest queued frame or waits for the next one. The
// fake camera plays its files this way, so that a reader slower than the camera is handed
// frames as old as a webcam's would be.

#include "detection/FrameSource.hpp"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

class QueuedSource : public FrameSource {
public:
    // The clock, in microseconds, and a sleep until a time of it; the real ones by default.
    struct Clock {
        std::function<int64_t()> now;
        std::function<void(int64_t)> sleepUntil;
    };
    static Clock systemClock();

    // Frames start to arrive now, the first at once; V4L2 queues four by default.
    QueuedSource(std::unique_ptr<FrameSource> frames, double framesPerSecond,
                 std::size_t buffers = 4, Clock clock = systemClock());

    bool isOpened() const override;
    // Empty once the frames have run out and the queue is empty.
    void read(cv::Mat& frame) override;
    int64_t capturedMicros() const override { return m_captured; }

private:
    // Every frame that has arrived by the time `until`, queued or dropped.
    void arriveUntil(int64_t until);

    struct Queued {
        cv::Mat frame;
        int64_t arrival;
    };
    std::unique_ptr<FrameSource> m_frames;
    int64_t m_period;
    std::size_t m_buffers;
    Clock m_clock;
    int64_t m_nextArrival;
    bool m_framesEnded = false;
    std::deque<Queued> m_queue;
    int64_t m_captured = 0;
};
