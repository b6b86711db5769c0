#pragma once
// The game's frame source: the webcam on device 0 at whatever resolution it delivers, with the
// fewest frames its driver will queue.

#include "detection/FrameSource.hpp"

#include <opencv2/videoio.hpp>

class CameraSource : public FrameSource {
public:
    explicit CameraSource(int device = 0);
    bool isOpened() const override;
    void read(cv::Mat& frame) override;
    // Takes a frame off the driver's queue without decoding it.
    void skip() override;

private:
    cv::VideoCapture m_capture;
};
