#pragma once
// Hands out a camera's newest frame rather than the oldest one its driver has queued. A webcam
// driver keeps several frames waiting (four by default with V4L2) and drops the new ones while
// they wait, so a reader slower than the camera would steer on a picture a few frames old. A
// thread of this class reads the camera all the time, which keeps the driver's queue empty,
// and keeps the latest frame: a read takes that one, or waits for the next frame when it has
// taken that one already. When nobody has taken a frame for a second, the thread only takes
// the frames off the queue without handing them on (no decoding), until the next read.

#include "detection/FrameSource.hpp"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

class NewestFrameSource : public FrameSource {
public:
    // Starts reading the camera at once.
    explicit NewestFrameSource(std::unique_ptr<FrameSource> camera);
    // Stops the reading thread and waits for its read to end.
    ~NewestFrameSource() override;
    NewestFrameSource(const NewestFrameSource&) = delete;
    NewestFrameSource& operator=(const NewestFrameSource&) = delete;

    bool isOpened() const override;
    // The newest frame not handed out yet, empty once the camera has none. What the camera's
    // read threw is thrown here.
    void read(cv::Mat& frame) override;
    int64_t capturedMicros() const override { return m_captured; }

    // Frames read but not taken after which the thread only drains the camera's queue.
    static constexpr int restAfter = 30;

private:
    void keepReading();
    // One frame from the camera, or the end; false when the thread should stop.
    bool readOne();

    std::unique_ptr<FrameSource> m_camera;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    cv::Mat m_newest;
    int64_t m_newestCaptured = 0;
    bool m_fresh = false; // newest has not been handed out
    bool m_ended = false; // the camera gave an empty frame or threw
    std::exception_ptr m_failure;
    bool m_stopping = false;
    bool m_readerWaiting = false;
    int m_untaken = 0;      // frames read since the last read took one
    int64_t m_captured = 0; // of the frame handed out last; the reader's side
    std::thread m_grabber;  // last: it starts once everything above is ready
};
