#include "detection/NewestFrameSource.hpp"

#include "core/Clock.hpp"

NewestFrameSource::NewestFrameSource(std::unique_ptr<FrameSource> source)
    : camera(std::move(source)), grabber(&NewestFrameSource::keepReading, this) {}

NewestFrameSource::~NewestFrameSource() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    grabber.join();
}

bool NewestFrameSource::isOpened() const {
    return camera->isOpened();
}

void NewestFrameSource::read(cv::Mat& frame) {
    std::unique_lock<std::mutex> lock(mutex);
    readerWaiting = true;
    changed.wait(lock, [this] { return fresh || ended; });
    readerWaiting = false;
    if (!fresh) {
        frame.release();
        if (failure) {
            std::rethrow_exception(failure);
        }
        return;
    }
    // Moved, not shared: the two threads never count references to one picture.
    frame = std::move(newest);
    newest = cv::Mat();
    captured = newestCaptured;
    fresh = false;
    untaken = 0;
}

void NewestFrameSource::keepReading() {
    while (readOne()) {
    }
}

bool NewestFrameSource::readOne() {
    bool resting = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping) {
            return false;
        }
        resting = untaken >= restAfter && !readerWaiting;
        if (resting) {
            // The frames that pass by now are newer than the one kept.
            newest = cv::Mat();
            fresh = false;
        }
    }
    cv::Mat frame;
    std::exception_ptr thrown;
    try {
        if (resting) {
            camera->skip();
            return true;
        }
        camera->read(frame);
    } catch (...) {
        thrown = std::current_exception();
    }
    // A frame is as old as the camera says, or taken now when it does not know.
    const int64_t at = camera->capturedMicros() != 0 ? camera->capturedMicros() : nowMicros();
    std::lock_guard<std::mutex> lock(mutex);
    if (thrown || frame.empty()) {
        failure = thrown;
        ended = true;
    } else {
        newest = std::move(frame);
        newestCaptured = at;
        fresh = true;
        ++untaken;
    }
    changed.notify_all();
    return !ended;
}
