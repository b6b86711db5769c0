#pragma once
// A panel laid over the game frame while the game is not playing. Its fixed picture is painted
// once into canvas; what changes (a marker car, a blink, a typed name) is the screen's panel,
// a small value that update produces and the screen's drawPanel draws from, with nothing else
// that changes. A panel's top-left corner sits at the frame centre plus its (x, y).

#include <cstdint>
#include <opencv2/core.hpp>

class Resources;

class Screen {
public:
    Screen(Resources* resources, int width, int height);
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    virtual ~Screen() = default;

    // Prepares the screen once, during the game's initialisation at the given time.
    virtual bool enter(int64_t nowMicros) = 0;
    // One frame while the screen is active: the steering step and the clock.
    virtual void update(int shift, int64_t nowMicros) = 0;
    // Paints the static panel into the given image (always this screen's canvas).
    virtual void draw(cv::Mat& image) = 0;

    // The panel backdrops: the whole frame blurred with a Gaussian of sigma 3.1, and the same
    // turned grey (equal B, G and R). Both keep the frame's buffer; grey is scratch space.
    static void blurFrame(cv::Mat& frame);
    static void blurFrameGrey(cv::Mat& frame, cv::Mat& grey);

    const int width;
    const int height;
    cv::Mat canvas; // painted by draw once, at the game's initialisation

protected:
    // Where a panel at (x, y) has its top-left corner in the frame.
    static cv::Point corner(const cv::Mat& frame, int x, int y);

    int x;
    int y;
    Resources* resources; // not owned
};
