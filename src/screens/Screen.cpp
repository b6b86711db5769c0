#include "screens/Screen.hpp"

#include <opencv2/imgproc.hpp>

Screen::Screen(Resources* shared, int panelWidth, int panelHeight)
    : width(panelWidth), height(panelHeight), canvas(panelHeight, panelWidth, CV_8UC3),
      x(-(panelWidth / 2)), y(-(panelHeight / 2)), resources(shared) {}

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

cv::Point Screen::corner(const cv::Mat& frame, int panelX, int panelY) {
    return cv::Point(frame.cols / 2 + panelX, frame.rows / 2 + panelY);
}
