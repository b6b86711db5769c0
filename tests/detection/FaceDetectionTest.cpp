// The eye detector with the real cascade on a photograph of a face, upright and tilted.

#include "DetectionTestSupport.hpp"
#include "app/Config.hpp"
#include "detection/EyeDetector.hpp"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

struct FaceDetector {
    Config config;
    EyeDetector detector{&config};
    std::ostringstream console;

    FaceDetector() {
        detector.setConsole(console);
        EXPECT_TRUE(detector.cascade.load(testsupport::cascadeFile()));
        detector.drawSuppressed = false;
    }
    int sway(cv::Mat picture, bool dump = false) { return detector.detect(picture, picture, dump); }
};

} // namespace

TEST(FaceDetection, FindsAndPairsBothEyes) {
    FaceDetector face;
    const cv::Mat picture = testsupport::facePicture();
    ASSERT_FALSE(picture.empty());
    face.sway(picture);
    ASSERT_EQ(face.detector.eyes.size(), 2u);
    const Eye& left = face.detector.eyes[0];
    const Eye& right = face.detector.eyes[1];
    EXPECT_NEAR(left.cx, 102, 6);
    EXPECT_NEAR(left.cy, 80, 6);
    EXPECT_NEAR(right.cx, 146, 6);
    EXPECT_NEAR(right.cy, 84, 6);
    EXPECT_EQ(face.detector.trackedEyes.size(), 2u);
}

TEST(FaceDetection, TiltSteersWithItsSignAndMoreForMore) {
    const cv::Mat picture = testsupport::facePicture();
    std::map<int, int> sway;
    for (int degrees : {-20, -10, 0, 10, 20}) {
        FaceDetector face;
        sway[degrees] = face.sway(testsupport::tilted(picture, degrees));
        EXPECT_EQ(face.detector.eyes.size(), 2u) << degrees;
    }
    // The portrait itself leans a little, so upright is not exactly 0.
    EXPECT_LT(sway[-20], sway[-10]);
    EXPECT_LT(sway[-10], sway[0]);
    EXPECT_LT(sway[0], sway[10]);
    EXPECT_LT(sway[10], sway[20]);
    EXPECT_LT(sway[-10], 0);
    EXPECT_GT(sway[10], 0);

    FaceDetector mirrored;
    mirrored.config.invertX = false;
    EXPECT_EQ(mirrored.sway(testsupport::tilted(picture, 20)), -sway[20]);
}

TEST(FaceDetection, TrackedHeadTurningSmoothlyKeepsSteering) {
    // Successive frames of a head tilting by 5 degrees a frame never jump the tracker.
    const cv::Mat picture = testsupport::facePicture();
    FaceDetector face;
    int previous = face.sway(testsupport::tilted(picture, -20));
    for (int degrees = -15; degrees <= 20; degrees += 5) {
        const int sway = face.sway(testsupport::tilted(picture, degrees));
        EXPECT_EQ(face.detector.eyes.size(), 2u) << degrees;
        EXPECT_GE(sway, previous) << degrees;
        previous = sway;
    }
}

TEST(FaceDetection, PictureWithoutFaceGivesZero) {
    FaceDetector face;
    const cv::Mat picture = testsupport::noFacePicture();
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(face.sway(picture), 0);
    EXPECT_TRUE(face.detector.eyes.empty());
    EXPECT_TRUE(face.detector.trackedEyes.empty());
}

TEST(FaceDetection, DumpWritesOneAnnotatedPicture) {
    testsupport::ScratchFolder folder;
    FaceDetector face;
    cv::Mat picture = testsupport::facePicture();
    face.detector.detect(picture, picture, true);
    const std::vector<std::string> files = folder.files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].rfind("image_", 0), 0u);
    const cv::Mat written = cv::imread(files[0]);
    ASSERT_EQ(written.size(), picture.size());
    // The file holds the picture with the eye circles, not the plain photograph.
    EXPECT_EQ(cv::norm(written, picture, cv::NORM_INF), 0);
    EXPECT_GT(cv::norm(written, testsupport::facePicture(), cv::NORM_INF), 0);
    EXPECT_NE(face.console.str().find("dump to file '" + files[0] + "'"), std::string::npos);
}
