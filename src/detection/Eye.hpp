#pragma once
// One eye as the detector sees it: the centre and radius it steers and draws with, and the
// cascade rectangle it came from.

#include <opencv2/core.hpp>

struct Eye {
    int cx;
    int cy;
    int radius;
    int x;
    int y;
    int width;
    int height;
};

// The centre and radius use the same truncating integer halves as the pairing test, so a
// pair that passed the test is drawn and measured from the very same centres.
inline Eye eyeFromRect(const cv::Rect& rect) {
    return Eye{rect.x + rect.width / 2,
               rect.y + rect.height / 2,
               (rect.width + rect.height) / 4,
               rect.x,
               rect.y,
               rect.width,
               rect.height};
}
