#pragma once
// A stand-in camera that plays picture and video files: a picture is one frame, a video all
// of its frames, the files in the order given. It can start over after the last file and
// can hold the frames back to a camera-like rate, so the game and the tools can be run on a
// recorded head sway without a webcam. Videos are read through FFmpeg.

#include "detection/FrameSource.hpp"

#include <opencv2/videoio.hpp>

#include <chrono>
#include <string>
#include <vector>

class FileFrameSource : public FrameSource {
public:
    // framesPerSecond 0 delivers frames as fast as they are asked for. Every file is checked
    // here; isOpened is false and failedFile names the first one that cannot be read.
    explicit FileFrameSource(std::vector<std::string> files, bool loop = false,
                             double framesPerSecond = 0);

    bool isOpened() const override;
    void read(cv::Mat& frame) override;
    const std::string& failedFile() const { return m_failed; }

private:
    struct Item {
        std::string path;
        cv::Mat picture; // empty for a video
    };

    // The next frame without pacing; empty at the end of the files.
    void nextFrame(cv::Mat& frame);
    void openItem(size_t index);

    std::vector<Item> m_items;
    std::string m_failed;
    bool m_loop;
    std::chrono::steady_clock::duration m_frameTime{0};
    std::chrono::steady_clock::time_point m_due{};
    size_t m_current = 0;
    bool m_itemOpen = false;
    bool m_pictureGiven = false;
    cv::VideoCapture m_video;
};
