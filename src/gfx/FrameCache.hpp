#pragma once
// Remembers one input image and what an operation made of it. The screens filter a game frame
// that usually stays the same from one frame to the next (a frozen run, the idle road behind
// the start panel), and a blur or an outlined banner costs several milliseconds; the same
// input again then costs one comparison and one copy, and gives the very same pixels.

#include <opencv2/core.hpp>

class FrameCache {
public:
    // Runs operation on image in place, or, when image holds exactly the pixels of the last
    // input, copies the last result into it instead. image may be a region of a larger image;
    // operation must leave image's buffer where it is (no reallocation) and must not depend
    // on anything but image's pixels.
    template <typename Operation> void apply(cv::Mat& image, Operation&& operation) {
        if (matches(image)) {
            m_lastOutput.copyTo(image);
            return;
        }
        image.copyTo(m_lastInput);
        operation(image);
        image.copyTo(m_lastOutput);
    }

    // True when image has the last input's size, type and bytes.
    bool matches(const cv::Mat& image) const;
    // Forgets the remembered pair.
    void clear();

private:
    cv::Mat m_lastInput;
    cv::Mat m_lastOutput;
};
