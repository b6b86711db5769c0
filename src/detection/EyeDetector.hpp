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
    // Everything detect does after the cascade, on the cascade's rectangles: sorts them by x,
    // then y, width and height, the order of the pairing, the dump and the outlines.
    int evaluate(std::vector<cv::Rect> objects, cv::Mat& output, bool dump);

    // The pair accepted for the last image, left eye first; empty when none was.
    const std::vector<Eye>& eyes() const { return m_eyes; }
    // The last confirmed pair, left eye first; never emptied once set.
    const std::vector<Eye>& trackedEyes() const { return m_trackedEyes; }

    // Where the diagnostics go; the console unless a test listens.
    void setConsole(std::ostream& stream) { m_console = &stream; }
    // Where dumps go, its folder made first (not owned); the working folder unless set.
    void setPaths(const GamePaths& paths) { m_paths = &paths; }

private:
    // Appends the accepted pair (left eye first) to m_eyes, or nothing; may replace
    // m_trackedEyes. verbose lists every comparison.
    void findEyePair(const std::vector<cv::Rect>& rects, bool verbose);
    void writeDump(const cv::Mat& output) const;

    Config* m_config;
    const GamePaths* m_paths = nullptr;
    cv::CascadeClassifier m_cascade;
    std::vector<Eye> m_trackedEyes;
    std::vector<Eye> m_eyes;
    bool m_drawSuppressed = true; // cleared once the cascade has loaded
    bool m_quiet = true;          // the tracking messages are for debugging sessions only
    std::ostream* m_console = &std::cout;
};
