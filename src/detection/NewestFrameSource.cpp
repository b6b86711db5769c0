#include "detection/NewestFrameSource.hpp"

#include "core/Clock.hpp"

NewestFrameSource::NewestFrameSource(std::unique_ptr<FrameSource> source)
    : m_camera(std::move(source)), m_grabber(&NewestFrameSource::keepReading, this) {}

NewestFrameSource::~NewestFrameSource() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_grabber.join();
}

bool NewestFrameSource::isOpened() const {
    return m_camera->isOpened();
}

void NewestFrameSource::read(cv::Mat& frame) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_readerWaiting = true;
    m_changed.wait(lock, [this] { return m_fresh || m_ended; });
    m_readerWaiting = false;
    if (!m_fresh) {
        frame.release();
        if (m_failure) {
            std::rethrow_exception(m_failure);
        }
        return;
    }
    // Moved, not shared: the two threads never count references to one picture.
    frame = std::move(m_newest);
    m_newest = cv::Mat();
    m_captured = m_newestCaptured;
    m_fresh = false;
    m_untaken = 0;
}

void NewestFrameSource::keepReading() {
    while (readOne()) {
    }
}

bool NewestFrameSource::readOne() {
    bool resting = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) {
            return false;
        }
        resting = m_untaken >= restAfter && !m_readerWaiting;
        if (resting) {
            // The frames that pass by now are newer than the one kept.
            m_newest = cv::Mat();
            m_fresh = false;
        }
    }
    cv::Mat frame;
    std::exception_ptr thrown;
    try {
        if (resting) {
            m_camera->skip();
            return true;
        }
        m_camera->read(frame);
    } catch (...) {
        thrown = std::current_exception();
    }
    // A frame is as old as the camera says, or taken now when it does not know.
    const int64_t at = m_camera->capturedMicros() != 0 ? m_camera->capturedMicros() : nowMicros();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (thrown || frame.empty()) {
        m_failure = thrown;
        m_ended = true;
    } else {
        m_newest = std::move(frame);
        m_newestCaptured = at;
        m_fresh = true;
        ++m_untaken;
    }
    m_changed.notify_all();
    return !m_ended;
}
