#include "screens/Screen.hpp"

#include <opencv2/imgproc.hpp>

Screen::Screen(Resources* resources, int width, int height)
    : x(-(width / 2)), y(-(height / 2)), width(width), height(height),
      canvas(height, width, CV_8UC3), resources(resources) {}

void Screen::blurFrame(cv::Mat& frame) {
    cv::GaussianBlur(frame, frame, cv::Size(0, 0), 3.1, 0, cv::BORDER_DEFAULT);
}

void Screen::blurFrameGrey(cv::Mat& frame, cv::Mat& grey) {
    blurFrame(frame);
    // Through a separate one-channel image, so that the frame keeps its buffer (a region
    // view of it stays valid) while its bytes become the grey value three times over.
    cv::cvtColor(frame, grey, cv::COLOR_RGB2GRAY);
    cv::cvtColor(grey, frame, cv::COLOR_GRAY2RGB);
}
