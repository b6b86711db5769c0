#pragma once
// Turns one camera image into one steering value. A Haar cascade finds eye candidates, the
// first pair of plausible size and spacing, taken in order of position, becomes the left and
// right eye, and the pair is checked against the pair confirmed before so that a false hit
// elsewhere in the picture cannot throw the car across the road. The height difference of the two
// eyes, in pixels, is the sway. The detector also marks what it found on the output image and, on
// request, lists its reasoning on the console and saves the annotated image.
//
// Used from the detection thread only; reads drawAll and invertX of the shared Config.

#include "core/Config.hpp"
#include "detection/Eye.hpp"

#include <opencv2/core.hpp>
#include <opencv2/objdetect.hpp>

#include <iostream>
#include <string>
#include <vector>

class GamePaths;

class EyeDetector {
public:
    explicit EyeDetector(Config* config);
    virtual ~EyeDetector();
    EyeDetector(const EyeDetector&) = delete;
    EyeDetector& operator=(const EyeDetector&) = delete;

    // Loads the eye cascade; false when the file is missing or unusable. Until it has loaded,
    // nothing is drawn on the output images.
    bool loadCascade(const std::string& path);
    // Searches input, draws on output (the thread passes the same image twice) and returns
    // the sway: 0 unless a confirmed pair was found. dump lists the pairing on the console
    // and writes the annotated image to "image_<seconds>.png" in the folder of the game's
    // files (paths), the working directory without paths, as a new file: a file already under
    // that name (or a link planted there) is left as it is. When the picture cannot be
    // written, the game writes nowhere, or a link on the way is another user's, it says why.
    int detect(const cv::Mat& input, cv::Mat& output, bool dump);
    // Everything detect does after the cascade, on the rectangles already in objects: sorts
    // them by x, then y, width and height, the order of the pairing, the dump and the outlines.
    int evaluate(cv::Mat& output, bool dump);
    // Appends the accepted pair (left eye first) to eyes, or nothing; may replace trackedEyes.
    void findEyePair(std::vector<Eye>& eyes, const std::vector<cv::Rect>& objects, bool verbose);

    // Where the diagnostics go; the console unless a test listens.
    void setConsole(std::ostream& stream) { console = &stream; }

    Config* config;
    const GamePaths* paths = nullptr; // where dumps go, its folder made first; not owned
    cv::CascadeClassifier cascade;
    std::vector<Eye> trackedEyes;  // last confirmed pair, left first; never emptied once set
    std::vector<cv::Rect> objects; // the cascade's rectangles, sorted by evaluate
    std::vector<Eye> eyes;
    bool drawSuppressed = true; // cleared once the cascade has loaded
    bool quiet = true;          // the tracking messages are for debugging sessions only

private:
    void writeDump(const cv::Mat& output) const;

    std::ostream* console = &std::cout;
};

// Outline colours of the cascade rectangles, cycled by rectangle index.
extern const cv::Scalar RECT_PALETTE[6];
