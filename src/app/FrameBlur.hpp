#pragma once
// The picture the game window shows for a frame: the frame under a slight blur, or the frame
// itself while the blur is off. The window is not sent a picture it shows already: on the
// start, pause and name-entry screens the picture often stands still.

#include "gfx/IncrementalBlur.hpp"

#include <opencv2/core.hpp>

class FrameBlur {
public:
    // The picture to show for frame, blurred when blurOn; nullptr when it is the picture this
    // returned last time, which the window shows already. frameChanged false promises that
    // frame holds the pixels it held at the last call, which then need no comparing. A
    // blurred picture stays valid until the next call.
    const cv::Mat* newPicture(const cv::Mat& frame, bool frameChanged, bool blurOn);

private:
    IncrementalBlur m_blur;
    bool m_anyShown = false;
    bool m_blurredShown = false; // the last picture returned was a blurred one
};
