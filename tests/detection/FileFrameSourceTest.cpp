// The stand-in camera of the tools: pictures and videos in order, once or in a loop.

#include "detection/FileFrameSource.hpp"
#include "DetectionTestSupport.hpp"

#include <gtest/gtest.h>
#include <opencv2/videoio.hpp>

namespace {

std::vector<cv::Mat> readAll(FileFrameSource& source, int limit = 100) {
    std::vector<cv::Mat> frames;
    cv::Mat frame;
    for (source.read(frame); !frame.empty() && int(frames.size()) < limit; source.read(frame)) {
        frames.push_back(frame.clone());
    }
    return frames;
}

// A short clip whose frame i is filled with grey level 40 * (i + 1).
std::string writeClip(const std::string& name, int frames) {
    cv::VideoWriter writer(name, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30, cv::Size(64, 48));
    EXPECT_TRUE(writer.isOpened());
    for (int i = 0; i < frames; ++i) {
        writer.write(cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(40 * (i + 1))));
    }
    return name;
}

int level(const cv::Mat& frame) {
    return int(cv::mean(frame)[0] + 0.5);
}

} // namespace

TEST(FileFrameSource, PicturesAreOneFrameEachInOrder) {
    FileFrameSource source({testsupport::dataPath("astronaut-face.png"),
                            testsupport::dataPath("astronaut-noface.png")});
    ASSERT_TRUE(source.isOpened());
    const std::vector<cv::Mat> frames = readAll(source);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(cv::norm(frames[0], testsupport::facePicture(), cv::NORM_INF), 0);
    EXPECT_EQ(cv::norm(frames[1], testsupport::noFacePicture(), cv::NORM_INF), 0);
    cv::Mat after;
    source.read(after);
    EXPECT_TRUE(after.empty());
}

TEST(FileFrameSource, VideoGivesAllItsFramesThenLoops) {
    testsupport::ScratchFolder folder;
    const std::string clip = writeClip("clip.avi", 3);
    FileFrameSource once({clip});
    const std::vector<cv::Mat> frames = readAll(once);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_NEAR(level(frames[0]), 40, 3);
    EXPECT_NEAR(level(frames[2]), 120, 3);

    FileFrameSource looped({testsupport::dataPath("astronaut-noface.png"), clip}, true);
    const std::vector<cv::Mat> repeated = readAll(looped, 9);
    ASSERT_EQ(repeated.size(), 9u);
    EXPECT_EQ(repeated[4].size(), testsupport::noFacePicture().size());
    EXPECT_NEAR(level(repeated[6]), 80, 3);
    EXPECT_NEAR(level(repeated[7]), 120, 3);
}

TEST(FileFrameSource, NamesTheFirstUnreadableFile) {
    testsupport::ScratchFolder folder;
    { std::ofstream("notes.txt") << "not a picture\n"; }
    FileFrameSource missing(
        {testsupport::dataPath("astronaut-face.png"), "missing.png", "notes.txt"});
    EXPECT_FALSE(missing.isOpened());
    EXPECT_EQ(missing.failedFile(), "missing.png");
    FileFrameSource text({"notes.txt"}, true);
    EXPECT_FALSE(text.isOpened());
    EXPECT_EQ(text.failedFile(), "notes.txt");
    cv::Mat frame;
    text.read(frame);
    EXPECT_TRUE(frame.empty());
}
