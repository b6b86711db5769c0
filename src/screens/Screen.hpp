#pragma once
// A panel laid over the game frame while the game is not playing. Its fixed picture is painted
// once into the canvas; what changes (a marker car, a blink, a typed name) is the screen's
// panel, a small value that is the screen's whole changing state: update changes it, panel()
// returns it, and the screen's drawPanel draws from a panel and nothing else that changes. A
// panel's top-left corner sits at the frame centre plus its (x, y).

#include "gfx/Blink.hpp"

#include <cstdint>
#include <opencv2/core.hpp>

class Screen {
public:
    Screen(int width, int height);
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    virtual ~Screen() = default;

    // Prepares the screen once, at the game's initialisation at the given time, and paints its
    // fixed picture. False when the screen cannot be shown.
    bool init(int64_t nowMicros);
    // One frame while the screen is active: the steering step and the clock.
    virtual void update(int shift, int64_t nowMicros) = 0;

    // The panel backdrops: the whole frame blurred with a Gaussian of sigma 3.1, and the same
    // turned grey (equal B, G and R). Both keep the frame's buffer; grey is scratch space.
    static void blurFrame(cv::Mat& frame);
    static void blurFrameGrey(cv::Mat& frame, cv::Mat& grey);

protected:
    // The screen's own preparation, before its fixed picture is painted.
    virtual bool enter(int64_t nowMicros) = 0;
    // Paints the fixed picture into the given image (always the canvas).
    virtual void draw(cv::Mat& image) = 0;
    // The panel's fill over the whole image, and its border of the given thickness.
    void paintPanel(cv::Mat& image, const cv::Scalar& fill, const cv::Scalar& border,
                    int borderThickness) const;
    // Where a panel at (x, y) has its top-left corner in the frame.
    static cv::Point corner(const cv::Mat& frame, int x, int y);
    // The blink of the pause panel and of the name entry's cursor, hidden until it starts.
    static Blink panelBlink();
    // Puts the screen's panel (any panel type with x and y) at the frame's centre.
    template <typename Panel> void centre(Panel& panel) const {
        panel.x = -(m_width / 2);
        panel.y = -(m_height / 2);
    }

    const int m_width;
    const int m_height;
    cv::Mat m_canvas; // painted by draw once, at the game's initialisation
};
