// The stand-in camera of the tools: pictures and videos in order, once or in a loop.

#include "detection/FileFrameSource.hpp"
#include "DetectionTestSupport.hpp"

#include <opencv2/videoio.hpp>

#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(FileFrameSource, PicturesAreOneFrameVideosAllFramesUnreadableFilesNamed) {
    testsupport::ScratchFolder folder;
    cv::VideoWriter clip("clip.avi", cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30, {64, 48});
    for (int level : {1, 2, 3})
        clip.write(cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(40 * level)));
    clip.release();
    cv::imwrite("black.png", cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(0)));
    std::ofstream("notes.txt") << "not a picture\n";
    // Grey levels of at most 9 frames, until the source runs dry.
    const auto levels = [](std::vector<std::string> files, bool loop) {
        FileFrameSource source(std::move(files), loop);
        std::vector<int> result;
        cv::Mat frame;
        for (source.read(frame); !frame.empty() && result.size() < 9; source.read(frame))
            result.push_back(int(cv::mean(frame)[0] / 40 + 0.5));
        return result;
    };
    EXPECT_EQ(levels({"black.png", "clip.avi"}, false), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(levels({"clip.avi", "black.png"}, true),
              (std::vector<int>{1, 2, 3, 0, 1, 2, 3, 0, 1}));
    EXPECT_TRUE(levels({"notes.txt"}, true).empty()); // a loop over nothing still ends
    FileFrameSource broken({"black.png", "gone.png", "notes.txt"});
    EXPECT_FALSE(broken.isOpened());
    EXPECT_EQ(broken.failedFile(), "gone.png");
}

// A pipe given as a file would block the check for good (a regression ends the child by its
// alarm): it is refused as a folder is, with its name.
TEST(FileFrameSource, APipeOrAFolderIsRefusedWithoutWaiting) {
    testsupport::ScratchFolder folder;
    ASSERT_EQ(mkfifo("pipe", 0666), 0);
    std::filesystem::create_directory("folder");
    for (const std::string name : {"pipe", "folder"}) {
        const pid_t child = fork();
        if (child == 0) {
            alarm(20);
            const FileFrameSource source({name});
            _exit(!source.isOpened() && source.failedFile() == name ? 0 : 1);
        }
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0) << name;
    }
}
