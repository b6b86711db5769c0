#include "gfx/Compositing.hpp"

#include "core/Palette.hpp"

namespace {

bool isColour(const cv::Vec3b& pixel, const cv::Scalar& colour) {
    return pixel[0] == colour[0] && pixel[1] == colour[1] && pixel[2] == colour[2];
}

cv::Vec3b asPixel(const cv::Scalar& colour) {
    return cv::Vec3b(static_cast<uchar>(colour[0]), static_cast<uchar>(colour[1]),
                     static_cast<uchar>(colour[2]));
}

// A colour component as a pixel byte: the fraction is dropped, out-of-range values are held
// at the nearest end rather than wrapped (compared as doubles: a huge value must not reach
// the integer conversion).
uchar toByte(double component) {
    if (!(component > 0.0)) {
        return 0;
    }
    if (component >= 255.0) {
        return 255;
    }
    return static_cast<uchar>(component);
}

} // namespace

void makeMask(cv::Mat& image, cv::Mat& mask) {
    CV_Assert(image.type() == CV_8UC3 && mask.type() == CV_8UC3);
    CV_Assert(mask.rows >= image.rows && mask.cols >= image.cols);
    const cv::Vec3b white = asPixel(WHITE);
    const cv::Vec3b black = asPixel(BLACK);
    for (int row = 0; row < image.rows; ++row) {
        cv::Vec3b* pixel = image.ptr<cv::Vec3b>(row);
        cv::Vec3b* maskPixel = mask.ptr<cv::Vec3b>(row);
        for (int col = 0; col < image.cols; ++col) {
            if (isColour(pixel[col], MAGENTA)) {
                pixel[col] = white;
                maskPixel[col] = black;
            } else {
                maskPixel[col] = white;
            }
        }
    }
}

void recolour(cv::Mat& image, const cv::Scalar& colour) {
    CV_Assert(image.type() == CV_8UC3);
    const cv::Vec3b body(toByte(colour[0]), toByte(colour[1]), toByte(colour[2]));
    const cv::Vec3b shade(toByte(colour[0] - 100), toByte(colour[1] - 100),
                          toByte(colour[2] - 100));
    for (int row = 0; row < image.rows; ++row) {
        cv::Vec3b* pixel = image.ptr<cv::Vec3b>(row);
        for (int col = 0; col < image.cols; ++col) {
            if (isColour(pixel[col], RED)) {
                pixel[col] = body;
            } else if (isColour(pixel[col], BLUE)) {
                pixel[col] = shade;
            }
        }
    }
}

cv::Rect overlay(const cv::Mat& source, cv::Mat& destination, int x, int y, const cv::Mat& mask) {
    // A type mismatch would make the paste below allocate a fresh image instead of writing
    // into the destination, and so draw nothing without a word.
    CV_Assert(source.type() == destination.type());
    CV_Assert(mask.empty() || mask.type() == source.type());
    int w = source.cols;
    int h = source.rows;
    int sx = 0;
    int sy = 0;
    // Clip at each edge of the destination; a paste with nothing left inside draws nothing
    // (an empty region is not handed to the library).
    if (y < 0) {
        h += y;
        sy = -y;
        y = 0;
    }
    if (x < 0) {
        w += x;
        sx = -x;
        x = 0;
    }
    if (x + w > destination.cols) {
        w = destination.cols - x;
    }
    if (y + h > destination.rows) {
        h = destination.rows - y;
    }
    if (w <= 0 || h <= 0) {
        return cv::Rect();
    }

    const cv::Rect region(x, y, w, h);
    cv::Mat target(destination, region);
    const cv::Mat part(source, cv::Rect(sx, sy, w, h));
    if (mask.empty()) {
        cv::repeat(part, 1, 1, target);
        return region;
    }
    // The mask is WHITE where the source is opaque and BLACK where it is transparent, and
    // the source is WHITE where it is transparent: OR then AND keeps the destination
    // behind transparent pixels and takes the source everywhere else.
    const cv::Mat maskPart(mask, cv::Rect(sx, sy, w, h));
    cv::bitwise_or(target, maskPart, target);
    cv::bitwise_and(target, part, target);
    return region;
}
