#include "windows/WindowCheck.hpp"

#include <opencv2/highgui.hpp>

bool windowShown(const std::string& title) {
    try {
        return cv::getWindowProperty(title, cv::WND_PROP_VISIBLE) > 0;
    } catch (const cv::Exception&) {
        return false; // no such window
    }
}
