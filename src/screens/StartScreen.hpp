#pragma once
// The start screen: a short track with the garage at its left end and the start line at
// its right end. Steering drives the gold marker car: past the start line starts a run,
// into the garage quits.

#include "gfx/Font.hpp"
#include "gfx/FrameCache.hpp"
#include "screens/Screen.hpp"

#include <string>

enum class StartChoice { None = 0, Start = 1, Quit = 2 };

class StartScreen : public Screen {
public:
    explicit StartScreen(Resources* resources);

    bool enter(int64_t nowMicros) override;
    void update(int shift, int64_t nowMicros) override;
    void draw(cv::Mat& image) override;
    bool drawBackground(cv::Mat& frame, int x, int y) override;
    void drawHint(cv::Mat& frame, int x, int y) override;
    void addLook(Fingerprint& look) const override;

    // Back to no choice with the car in the middle of the track.
    void resetSelection();
    // Shows a message along the frame's bottom edge, below the panel and the player's car,
    // from now until noticeMicros have passed.
    void showNotice(const std::string& text, int64_t nowMicros);

    static constexpr int64_t noticeMicros = 5000000;

    Font titleFont;
    Font hintFont;
    int titleWidth = 0;
    cv::Mat carImage;
    cv::Mat carMask;
    cv::Mat garageMask;
    int carX = 0;
    int carY = 0;
    int leftLimit = 0;
    int rightLimit = 0;
    StartChoice choice = StartChoice::None;
    Font noticeFont;
    std::string notice; // empty while none is shown
    int64_t noticeUntil = 0;

private:
    void drawNotice(cv::Mat& frame) const;

    FrameCache backdropCache; // the last frame behind the panel and its grey blur
    cv::Mat grey;
};
