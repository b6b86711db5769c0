#pragma once
// Where the detection thread gets its pictures: the webcam in the game, pictures or a video
// file in the tools and the tests.

#include <opencv2/core.hpp>

class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual bool isOpened() const = 0;
    // The next frame; an empty image when there is none.
    virtual void read(cv::Mat& frame) = 0;
};
