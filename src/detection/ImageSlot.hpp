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
        std::lock_guard<std::mutex> lock(mutex);
        picture.copyTo(image);
        fresh = true;
    }
    // True, with the picture in out, when a new one arrived since the last take.
    bool take(cv::Mat& out) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!fresh) {
            return false;
        }
        out = image;
        image = cv::Mat(); // the next put must not write into the picture just handed out
        fresh = false;
        return true;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex);
        image = cv::Mat();
        fresh = false;
    }

private:
    std::mutex mutex;
    cv::Mat image;
    bool fresh = false;
};
