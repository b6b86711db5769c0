// The eye detector with the real cascade on a photograph of a face, upright and tilted.

#include "DetectionTestSupport.hpp"
#include "app/Config.hpp"
#include "detection/EyeDetector.hpp"

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
    face.sway(testsupport::facePicture());
    ASSERT_EQ(face.detector.eyes.size(), 2u);
    EXPECT_NEAR(face.detector.eyes[0].cx, 102, 6);
    EXPECT_NEAR(face.detector.eyes[0].cy, 80, 6);
    EXPECT_NEAR(face.detector.eyes[1].cx, 146, 6);
    EXPECT_NEAR(face.detector.eyes[1].cy, 84, 6);
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

TEST(FaceDetection, PictureWithoutFaceGivesZero) {
    FaceDetector face;
    EXPECT_EQ(face.sway(testsupport::noFacePicture()), 0);
    EXPECT_TRUE(face.detector.trackedEyes.empty());
}

TEST(FaceDetection, DumpWritesOneAnnotatedPicture) {
    testsupport::ScratchFolder folder;
    FaceDetector face;
    cv::Mat picture = testsupport::facePicture();
    face.detector.detect(picture, picture, true);
    const std::vector<std::string> files = folder.files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(face.console.str().find("dump to file '" + files[0] + "'"), std::string::npos);
    // The file holds the picture with the eye circles, not the plain photograph.
    const cv::Mat written = cv::imread(files[0]);
    EXPECT_EQ(cv::norm(written, picture, cv::NORM_INF), 0);
    EXPECT_GT(cv::norm(written, testsupport::facePicture(), cv::NORM_INF), 0);
}
