#pragma once
// A one-picture mailbox between the detection thread, which draws, and the main thread,
// which alone may show windows on this platform. The writer overwrites, the reader takes
// the newest picture once; pictures the reader never saw are simply replaced.

#include <opencv2/core.hpp>

#include <mutex>

class ImageSlot {
public:
    // Copies the picture, so the writer can go on drawing into its own.
    void put(const cv::Mat& picture) {
        std::lock_guard<std::mutex> lock(m_mutex);
        picture.copyTo(m_image);
        m_fresh = true;
    }
    // True, with the picture in out, when a new one arrived since the last take.
    bool take(cv::Mat& out) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_fresh) {
            return false;
        }
        out = m_image;
        m_image = cv::Mat(); // the next put must not write into the picture just handed out
        m_fresh = false;
        return true;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_image = cv::Mat();
        m_fresh = false;
    }

private:
    std::mutex m_mutex;
    cv::Mat m_image;
    bool m_fresh = false;
};
