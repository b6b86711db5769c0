#pragma once
// A panel laid over the game frame while the game is not playing. The renderer places
// its top-left corner at the frame centre plus (x, y).

#include "gfx/Fingerprint.hpp"

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
    // May filter the frame; true asks the renderer to paste canvas at (x, y).
    virtual bool drawBackground(cv::Mat& frame, int x, int y) = 0;
    // Draws the changing parts after the paste, relative to (x, y).
    virtual void drawHint(cv::Mat& frame, int x, int y) = 0;
    // Adds everything the screen's part of the picture is drawn from, beyond the frame below.
    virtual void addLook(Fingerprint& look) const = 0;

    // The panel backdrops: the whole frame blurred with a Gaussian of sigma 3.1, and the same
    // turned grey (equal B, G and R). Both keep the frame's buffer; grey is scratch space.
    static void blurFrame(cv::Mat& frame);
    static void blurFrameGrey(cv::Mat& frame, cv::Mat& grey);

    int x;
    int y;
    int width;
    int height;
    cv::Mat canvas;
    Resources* resources; // not owned
};
