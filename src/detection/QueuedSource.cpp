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
    : m_frames(std::move(source)), m_period(std::llround(1000000.0 / framesPerSecond)),
      m_buffers(bufferCount), m_clock(std::move(given)), m_nextArrival(m_clock.now()) {}

bool QueuedSource::isOpened() const {
    return m_frames->isOpened();
}

void QueuedSource::read(cv::Mat& frame) {
    arriveUntil(m_clock.now());
    if (m_queue.empty() && !m_framesEnded) {
        m_clock.sleepUntil(m_nextArrival);
        arriveUntil(m_nextArrival);
    }
    if (m_queue.empty()) {
        frame.release();
        return;
    }
    frame = m_queue.front().frame;
    m_captured = m_queue.front().arrival;
    m_queue.pop_front();
}

void QueuedSource::arriveUntil(int64_t until) {
    while (!m_framesEnded && m_nextArrival <= until) {
        // A dropped frame still passes by: the scene goes on while nobody takes it.
        cv::Mat arriving;
        m_frames->read(arriving);
        if (arriving.empty()) {
            m_framesEnded = true;
        } else if (m_queue.size() < m_buffers) {
            m_queue.push_back({arriving, m_nextArrival});
        }
        m_nextArrival += m_period;
    }
}
