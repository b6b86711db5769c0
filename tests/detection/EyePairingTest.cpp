// The pairing and tracking rules of the eye detector, fed with hand-made cascade rectangles.

#include "DetectionTestSupport.hpp"
#include "app/Config.hpp"
#include "detection/EyeDetector.hpp"

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
    cv::Vec3b at(int x, int y) const { return canvas.at<cv::Vec3b>(y, x); }
};

cv::Rect eye(int x, int y, int size = 40) {
    return cv::Rect(x, y, size, size);
}

} // namespace

TEST(EyePairing, AcceptsPlausibleSpacingLeftEyeFirst) {
    Pairing p;
    EXPECT_EQ(p.frame({eye(100, 100)}), 0);
    EXPECT_TRUE(p.detector.eyes.empty());
    EXPECT_EQ(p.frame({eye(160, 100), eye(100, 100)}), 0);
    ASSERT_EQ(p.detector.eyes.size(), 2u);
    EXPECT_EQ(p.detector.eyes[0].x, 100);
    EXPECT_EQ(p.detector.eyes[0].cx, 120);
    EXPECT_EQ(p.detector.eyes[0].radius, 20);
    ASSERT_EQ(p.detector.trackedEyes.size(), 2u);
    EXPECT_EQ(p.detector.trackedEyes[1].x, 160);
}

TEST(EyePairing, CentresMoreThanPoint8AndLessThan2RadiusSumsApart) {
    for (int gap : {30, 32, 33, 79, 80, 90}) {
        Pairing p;
        p.frame({eye(100, 100), eye(100 + gap, 100)});
        EXPECT_EQ(p.detector.eyes.size(), gap == 33 || gap == 79 ? 2u : 0u) << gap;
    }
}

TEST(EyePairing, SteersByHeightDifferenceNegatedByInvertX) {
    Pairing inverted;
    EXPECT_EQ(inverted.frame({eye(100, 100), eye(160, 106)}), -6);
    Pairing plain;
    plain.config.invertX = false;
    EXPECT_EQ(plain.frame({eye(100, 100), eye(160, 106)}), 6);
    EXPECT_EQ(plain.frame({eye(100, 106), eye(160, 100)}), -6);
}

TEST(EyeTracking, JumpOver30PixelsIsConfirmedByTheNextFrame) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    EXPECT_EQ(p.frame({eye(130, 100), eye(190, 104)}), -4); // 30 is still the same eye
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 104)}), 0);  // left eye 31 away
    EXPECT_EQ(p.detector.trackedEyes[0].x, 161);
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 104)}), -4);
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 135)}), 0); // right eye alone 31 away
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 135)}), -35);
}

TEST(EyeTracking, OnlyTheFirstCandidateCountsAndTheTrackedPairNeverExpires) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(p.frame({eye(10, 10)}), 0);
    }
    // A far pair comes first; the matching pair after it is not looked at.
    EXPECT_EQ(p.frame({eye(300, 200), eye(360, 200), eye(100, 100), eye(160, 105)}), 0);
    EXPECT_TRUE(p.detector.eyes.empty());
    EXPECT_EQ(p.detector.trackedEyes[0].x, 300);
}

TEST(EyeDetectorConsole, TrackingMessagesOnlyWhenNotQuiet) {
    Pairing p;
    p.frame({});
    p.frame({eye(100, 100), eye(160, 100)});
    p.frame({eye(140, 100), eye(200, 100)});
    EXPECT_EQ(p.console.str(), "");
    p.detector.quiet = false;
    p.frame({});
    p.frame({eye(100, 100), eye(160, 100)});
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
    const std::string listing =
        "0: [100, 100] [40, 40]\n1: [160, 106] [40, 40]\n2: [250, 10] [20, 20]\n\n"
        "compare: 0 & 1| d: 60 w1: 20 w2: 20 2: 80 passW: 1 passW2: 1 passA1: 1 passA2: 1\n"
        "compare: 0 & 2| d: 172 w1: 20 w2: 10 2: 60 passW: 0 passW2: 1 passA1: 4 passA2: 0.25\n"
        "compare: 1 & 2| d: 132 w1: 20 w2: 10 2: 60 passW: 0 passW2: 1 passA1: 4 passA2: 0.25\n"
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
    EXPECT_EQ(p.detector.eyes.size(), 2u);

    // A jump ends the pairing early: no closing blank line before the file line.
    p.console.str("");
    p.frame({eye(200, 100), eye(260, 100)}, true);
    EXPECT_TRUE(std::regex_match(p.console.str(),
                                 std::regex("0: [^\\n]*\\n1: [^\\n]*\\n\\ncompare: 0 & 1[^\\n]*\\n"
                                            "\\d+ dump to file 'image_\\d+\\.png'\\n")))
        << p.console.str();
}

TEST(EyeDetectorDrawing, OutlinesInPaletteOrderAndCirclesTheEyes) {
    Pairing p;
    p.detector.drawSuppressed = false;
    p.frame({eye(100, 100), eye(160, 106), eye(250, 10, 20)});
    EXPECT_EQ(p.at(102, 100), cv::Vec3b(0, 0, 255));     // rectangle 0 red
    EXPECT_EQ(p.at(162, 106), cv::Vec3b(0, 255, 0));     // rectangle 1 green
    EXPECT_EQ(p.at(252, 10), cv::Vec3b(255, 0, 0));      // rectangle 2 blue
    EXPECT_EQ(p.at(120, 100), cv::Vec3b(0, 0, 0));       // left eye black
    EXPECT_EQ(p.at(180, 106), cv::Vec3b(255, 255, 255)); // right eye white
}

TEST(EyeDetectorDrawing, DrawAllOffKeepsCirclesSuppressedDrawsNothing) {
    Pairing p;
    p.detector.drawSuppressed = false;
    p.config.drawAll = false;
    p.frame({eye(100, 100), eye(160, 106)});
    EXPECT_EQ(p.at(102, 100), cv::Vec3b(50, 50, 50));
    EXPECT_EQ(p.at(120, 100), cv::Vec3b(0, 0, 0));
    Pairing quiet;
    quiet.frame({eye(100, 100), eye(160, 106)});
    EXPECT_EQ(cv::countNonZero(quiet.canvas.reshape(1) != 50), 0);
}
