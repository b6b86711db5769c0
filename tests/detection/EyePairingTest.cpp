// The pairing and tracking rules of the eye detector, fed with hand-made cascade rectangles.

#include "DetectionTestSupport.hpp"
#include "app/Config.hpp"
#include "detection/EyeDetector.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace {

// A detector that steers from the rectangles it is given instead of running the cascade.
struct Pairing {
    Config config;
    EyeDetector detector{&config};
    std::ostringstream console;
    cv::Mat canvas{300, 400, CV_8UC3, cv::Scalar(50, 50, 50)};

    Pairing() { detector.setConsole(console); }
    int frame(std::vector<cv::Rect> rects, bool dump = false) {
        detector.objects = std::move(rects);
        return detector.evaluate(canvas, dump);
    }
};

cv::Rect eye(int x, int y, int size = 40) {
    return cv::Rect(x, y, size, size);
}

} // namespace

TEST(EyePairing, NeedsTwoRectangles) {
    Pairing p;
    EXPECT_EQ(p.frame({}), 0);
    EXPECT_EQ(p.frame({eye(100, 100)}), 0);
    EXPECT_TRUE(p.detector.eyes.empty());
    EXPECT_TRUE(p.detector.trackedEyes.empty());
}

TEST(EyePairing, AcceptsPlausibleSpacingLeftEyeFirst) {
    Pairing p;
    // Given right to left: the pair is still stored left eye first.
    EXPECT_EQ(p.frame({eye(160, 100), eye(100, 100)}), 0);
    ASSERT_EQ(p.detector.eyes.size(), 2u);
    EXPECT_EQ(p.detector.eyes[0].x, 100);
    EXPECT_EQ(p.detector.eyes[0].cx, 120);
    EXPECT_EQ(p.detector.eyes[0].radius, 20);
    EXPECT_EQ(p.detector.eyes[1].x, 160);
    ASSERT_EQ(p.detector.trackedEyes.size(), 2u);
    EXPECT_EQ(p.detector.trackedEyes[0].x, 100);
}

TEST(EyePairing, RejectsCentresTooCloseOrTooFar) {
    // Radii 20 and 20: the centres must be more than 32 and less than 80 apart.
    for (int gap : {30, 32, 80, 90}) {
        Pairing p;
        EXPECT_EQ(p.frame({eye(100, 100), eye(100 + gap, 100)}), 0) << gap;
        EXPECT_TRUE(p.detector.eyes.empty()) << gap;
        EXPECT_TRUE(p.detector.trackedEyes.empty()) << gap;
    }
    for (int gap : {33, 79}) {
        Pairing p;
        p.frame({eye(100, 100), eye(100 + gap, 100)});
        EXPECT_EQ(p.detector.eyes.size(), 2u) << gap;
    }
}

TEST(EyePairing, SteersByHeightDifferenceWithInvertX) {
    Pairing inverted;
    EXPECT_EQ(inverted.frame({eye(100, 100), eye(160, 106)}), -6);
    ASSERT_EQ(inverted.detector.trackedEyes.size(), 2u);
    EXPECT_EQ(inverted.detector.trackedEyes[1].cy, 126);

    Pairing plain;
    plain.config.invertX = false;
    EXPECT_EQ(plain.frame({eye(100, 100), eye(160, 106)}), 6);
    EXPECT_EQ(plain.frame({eye(100, 106), eye(160, 100)}), -6);
}

TEST(EyeTracking, SteersWhileBothEyesStayWithin30Pixels) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    EXPECT_EQ(p.frame({eye(110, 100), eye(170, 110)}), -10);
    // Exactly 30 pixels is still the same eye.
    EXPECT_EQ(p.frame({eye(140, 100), eye(200, 110)}), -10);
}

TEST(EyeTracking, JumpIsConfirmedByTheNextFrameBeforeSteering) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    // Both eyes 31 pixels to the right: not steered on, but remembered.
    EXPECT_EQ(p.frame({eye(131, 100), eye(191, 104)}), 0);
    EXPECT_TRUE(p.detector.eyes.empty());
    ASSERT_EQ(p.detector.trackedEyes.size(), 2u);
    EXPECT_EQ(p.detector.trackedEyes[0].x, 131);
    EXPECT_EQ(p.frame({eye(131, 100), eye(191, 104)}), -4);
}

TEST(EyeTracking, RightEyeJumpAloneAlsoResets) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    EXPECT_EQ(p.frame({eye(100, 100), eye(160, 131)}), 0);
    EXPECT_EQ(p.detector.trackedEyes[1].y, 131);
    EXPECT_EQ(p.frame({eye(100, 100), eye(160, 131)}), -31);
}

TEST(EyeTracking, OnlyTheFirstCandidateIsHeldAgainstTheTrackedPair) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    // A false pair far away comes first; the matching pair after it is not looked at.
    EXPECT_EQ(p.frame({eye(300, 200), eye(360, 200), eye(100, 100), eye(160, 105)}), 0);
    EXPECT_EQ(p.detector.trackedEyes[0].x, 300);
}

TEST(EyeTracking, TrackedPairOutlivesFramesWithoutCandidates) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(p.frame({eye(10, 10)}), 0);
    }
    EXPECT_EQ(p.detector.trackedEyes.size(), 2u);
    // Far from where a fresh detector would accept anything: held against the old pair.
    EXPECT_EQ(p.frame({eye(200, 100), eye(260, 100)}), 0);
    EXPECT_EQ(p.detector.trackedEyes[0].x, 200);
}

TEST(EyeDetectorConsole, QuietByDefault) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    p.frame({});
    p.frame({eye(200, 100), eye(260, 100)});
    EXPECT_EQ(p.console.str(), "");
}

TEST(EyeDetectorConsole, TrackingMessagesWhenNotQuiet) {
    Pairing p;
    p.detector.quiet = false;
    p.frame({});
    p.frame({eye(100, 100), eye(160, 100)});
    p.frame({eye(140, 100), eye(200, 100)});
    const std::regex expected("\\d+ detection failed\\n"
                              "\\d+ leftShift: 40 - detection failed\\n"
                              "\\d+ rightShift: 40 - detection failed\\n"
                              "\\d+ detection failed\\n");
    EXPECT_TRUE(std::regex_match(p.console.str(), expected)) << p.console.str();
}

TEST(EyeDetectorDump, ListsRectanglesComparisonsThenTheFile) {
    testsupport::ScratchFolder folder;
    Pairing p;
    p.frame({eye(100, 100), eye(160, 106), eye(250, 10, 20)}, true);
    const std::string listing = "0: [100, 100] [40, 40]\n"
                                "1: [160, 106] [40, 40]\n"
                                "2: [250, 10] [20, 20]\n"
                                "\n"
                                "compare: 0 & 1| d: 60 w1: 20 w2: 20 2: 80 passW: 1 passW2: 1"
                                " passA1: 1 passA2: 1\n"
                                "compare: 0 & 2| d: 172 w1: 20 w2: 10 2: 60 passW: 0 passW2: 1"
                                " passA1: 4 passA2: 0.25\n"
                                "compare: 1 & 2| d: 132 w1: 20 w2: 10 2: 60 passW: 0 passW2: 1"
                                " passA1: 4 passA2: 0.25\n"
                                "\n";
    const std::string out = p.console.str();
    ASSERT_EQ(out.substr(0, listing.size()), listing);
    std::smatch match;
    const std::string tail = out.substr(listing.size());
    ASSERT_TRUE(
        std::regex_match(tail, match, std::regex("(\\d+) dump to file '(image_(\\d+)\\.png)'\\n")))
        << tail;
    EXPECT_EQ(match[1], match[3]);
    EXPECT_EQ(folder.files(), std::vector<std::string>{match[2]});
    EXPECT_EQ(cv::imread(match[2]).size(), p.canvas.size());
    // Listing the other comparisons did not change what was accepted.
    EXPECT_EQ(p.detector.eyes.size(), 2u);
}

TEST(EyeDetectorDump, JumpEndsTheListingWithoutClosingLine) {
    testsupport::ScratchFolder folder;
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    EXPECT_EQ(p.frame({eye(200, 100), eye(260, 100)}, true), 0);
    const std::regex expected(
        "0: \\[200, 100\\] \\[40, 40\\]\\n1: \\[260, 100\\] \\[40, 40\\]\\n\\n"
        "compare: 0 & 1\\| d: 60 [^\\n]*\\n"
        "\\d+ dump to file 'image_\\d+\\.png'\\n");
    EXPECT_TRUE(std::regex_match(p.console.str(), expected)) << p.console.str();
    EXPECT_EQ(folder.files().size(), 1u);
}

TEST(EyeDetectorDrawing, OutlinesInPaletteOrderAndCirclesTheEyes) {
    Pairing p;
    p.detector.drawSuppressed = false;
    p.frame({eye(100, 100), eye(160, 106), eye(250, 10, 20)});
    EXPECT_EQ(p.canvas.at<cv::Vec3b>(100, 102), cv::Vec3b(0, 0, 255));     // rectangle 0 red
    EXPECT_EQ(p.canvas.at<cv::Vec3b>(106, 162), cv::Vec3b(0, 255, 0));     // rectangle 1 green
    EXPECT_EQ(p.canvas.at<cv::Vec3b>(10, 252), cv::Vec3b(255, 0, 0));      // rectangle 2 blue
    EXPECT_EQ(p.canvas.at<cv::Vec3b>(100, 120), cv::Vec3b(0, 0, 0));       // left eye black
    EXPECT_EQ(p.canvas.at<cv::Vec3b>(106, 180), cv::Vec3b(255, 255, 255)); // right eye white
}

TEST(EyeDetectorDrawing, DrawAllOffKeepsOnlyTheCircles) {
    Pairing p;
    p.detector.drawSuppressed = false;
    p.config.drawAll = false;
    p.frame({eye(100, 100), eye(160, 106)});
    EXPECT_EQ(p.canvas.at<cv::Vec3b>(100, 102), cv::Vec3b(50, 50, 50));
    EXPECT_EQ(p.canvas.at<cv::Vec3b>(100, 120), cv::Vec3b(0, 0, 0));
    EXPECT_EQ(p.canvas.at<cv::Vec3b>(106, 180), cv::Vec3b(255, 255, 255));
}

TEST(EyeDetectorDrawing, NothingWhileSuppressed) {
    Pairing p;
    const cv::Mat before = p.canvas.clone();
    p.frame({eye(100, 100), eye(160, 106)});
    EXPECT_EQ(cv::norm(p.canvas, before, cv::NORM_INF), 0);
}

TEST(EyeDetectorDrawing, GreyImageTakesTheBlueComponent) {
    Pairing p;
    p.detector.drawSuppressed = false;
    p.canvas = cv::Mat(300, 400, CV_8UC1, cv::Scalar(50));
    p.frame({eye(100, 100), eye(160, 106), eye(250, 10, 20)});
    EXPECT_EQ(p.canvas.at<uchar>(100, 102), 0);  // red
    EXPECT_EQ(p.canvas.at<uchar>(10, 252), 255); // blue
    EXPECT_EQ(p.canvas.at<uchar>(106, 180), 255);
}
