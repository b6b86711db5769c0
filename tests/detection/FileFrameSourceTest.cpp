// The stand-in camera of the tools: pictures and videos in order, once or in a loop.

#include "detection/FileFrameSource.hpp"
#include "DetectionTestSupport.hpp"

#include <opencv2/videoio.hpp>

namespace {
// Grey levels of the frames until the source runs dry (at most limit frames).
std::vector<int> levels(FileFrameSource& source, size_t limit = 20) {
    std::vector<int> result;
    cv::Mat frame;
    for (source.read(frame); !frame.empty() && result.size() < limit; source.read(frame)) {
        result.push_back(int(cv::mean(frame)[0] / 40 + 0.5));
    }
    return result;
}
} // namespace

TEST(FileFrameSource, PicturesAreOneFrameVideosAllFramesInOrder) {
    testsupport::ScratchFolder folder;
    cv::VideoWriter writer("clip.avi", cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30,
                           cv::Size(64, 48));
    for (int level = 1; level <= 3; ++level) {
        writer.write(cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(40 * level)));
    }
    writer.release();
    cv::imwrite("black.png", cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(0)));
    FileFrameSource once({"black.png", "clip.avi"});
    ASSERT_TRUE(once.isOpened());
    EXPECT_EQ(levels(once), (std::vector<int>{0, 1, 2, 3}));
    FileFrameSource looped({"clip.avi", "black.png"}, true);
    EXPECT_EQ(levels(looped, 9), (std::vector<int>{1, 2, 3, 0, 1, 2, 3, 0, 1}));
}

TEST(FileFrameSource, NamesTheFirstUnreadableFile) {
    testsupport::ScratchFolder folder;
    std::ofstream("notes.txt") << "not a picture\n";
    FileFrameSource missing({testsupport::dataPath("astronaut-face.png"), "gone.png", "notes.txt"});
    EXPECT_FALSE(missing.isOpened());
    EXPECT_EQ(missing.failedFile(), "gone.png");
    FileFrameSource text({"notes.txt"}, true);
    EXPECT_EQ(text.failedFile(), "notes.txt");
    EXPECT_TRUE(levels(text).empty()); // and a loop over nothing still ends
}
