#pragma once
// Where the detection thread gets its pictures: the webcam in the game, pictures or a video
// file in the tools and the tests.

#include <opencv2/core.hpp>

#include <cstdint>

class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual bool isOpened() const = 0;
    // The next frame; an empty image when there is none.
    virtual void read(cv::Mat& frame) = 0;
    // Takes the next frame without handing it out, where that is cheaper than read.
    virtual void skip() {
        cv::Mat unused;
        read(unused);
    }
    // When the frame that read gave last was taken, on the game's clock (nowMicros); 0 when
    // the source does not know.
    virtual int64_t capturedMicros() const { return 0; }
};
