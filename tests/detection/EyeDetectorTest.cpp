// The eye detector: its pairing and tracking rules on hand-made cascade rectangles, then the
// real cascade on a photographed face.

#include "detection/EyeDetector.hpp"
#include "DetectionTestSupport.hpp"
#include "core/Config.hpp"
#include "core/GamePaths.hpp"

#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <tuple>
#include <unistd.h>

namespace {

struct Pairing {
    Config config;
    EyeDetector detector{&config};
    std::ostringstream console;
    cv::Mat canvas{300, 400, CV_8UC3, cv::Scalar(50, 50, 50)};

    Pairing() { detector.setConsole(console); }
    int frame(std::vector<cv::Rect> rects, bool dump = false) {
        return detector.evaluate(std::move(rects), canvas, dump);
    }
    int detect(cv::Mat picture) { // with the real cascade
        EXPECT_TRUE(detector.loadCascade(testsupport::CASCADE));
        return detector.detect(picture, picture, false);
    }
};

cv::Rect eye(int x, int y, int size = 40) {
    return cv::Rect(x, y, size, size);
}

} // namespace

TEST(EyePairing, SpacingSignAndLeftEyeFirst) {
    // Centres more than 0.8 and less than 2 radius sums apart; the right eye lower by dy.
    const std::tuple<int, int, bool, size_t, int> cases[] = {
        {30, 0, true, 0, 0}, {32, 0, true, 0, 0},  {33, 0, true, 2, 0},  {79, 0, true, 2, 0},
        {80, 0, true, 0, 0}, {60, 6, true, 2, -6}, {60, 6, false, 2, 6}, {60, -6, false, 2, -6}};
    for (auto [gap, dy, invertX, eyes, sway] : cases) {
        Pairing q;
        q.config.invertX = invertX;
        EXPECT_EQ(q.frame({eye(100, 100), eye(100 + gap, 100 + dy)}), sway) << gap;
        EXPECT_EQ(q.detector.eyes().size(), eyes) << gap;
    }
    Pairing p;
    EXPECT_EQ(p.frame({}) + p.frame({eye(100, 100)}), 0);
    // The big rectangle comes first by x, but the small one's centre lies further left.
    EXPECT_EQ(p.frame({eye(100, 100, 80), eye(101, 200, 20)}), 70);
    ASSERT_EQ(p.detector.eyes().size(), 2u);
    EXPECT_EQ(p.detector.eyes()[0].cx, 111);
}

TEST(EyeTracking, JumpOver30IsConfirmedByTheNextFrameFirstCandidateOnly) {
    Pairing p;
    p.frame({eye(100, 100), eye(160, 100)});
    EXPECT_EQ(p.frame({eye(130, 100), eye(190, 104)}), -4); // 30 is still the same eye
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 104)}), 0);  // left eye 31 away
    EXPECT_EQ(p.detector.trackedEyes()[0].x, 161);
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 104)}), -4);
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 135)}), 0); // right eye alone 31 away
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 135)}), -35);
    // A frame without a pair keeps the tracked one; a far first pair hides a matching second.
    EXPECT_EQ(p.frame({eye(10, 10)}), 0);
    EXPECT_EQ(p.frame({eye(161, 100), eye(221, 135), eye(20, 200), eye(80, 200)}), 0);
    EXPECT_EQ(p.detector.trackedEyes()[0].x, 20);
    EXPECT_EQ(p.console.str(), ""); // quiet by default
}

TEST(EyeDetectorDump, WithoutAHomeFolderSaysWhyAndWritesNothing) {
    testsupport::ScratchFolder folder;
    GamePaths::Inputs installedWithoutHome; // no textures here, no HOME, no account
    installedWithoutHome.workingFolder = folder.path;
    const GamePaths nowhere(installedWithoutHome);
    Pairing p;
    p.detector.setPaths(nowhere);
    p.frame({}, true);
    const std::string out = p.console.str();
    const std::string seconds = std::to_string(std::stoll(out.substr(2)));
    EXPECT_EQ(out, "\n\n" + seconds + " can't dump to file 'image_" + seconds +
                       ".png': there is no home folder to keep it in\n");
    EXPECT_EQ(folder.files(), 0u);
}

TEST(FaceDetection, FindsBothEyesOfTheFace) {
    Pairing face;
    face.detect(testsupport::facePicture());
    ASSERT_EQ(face.detector.eyes().size(), 2u);
    EXPECT_NEAR(face.detector.eyes()[0].cx, 102, 8);
    EXPECT_NEAR(face.detector.eyes()[1].cx, 146, 8);
}

// The portrait itself leans a little, so upright is not exactly 0.
TEST(FaceDetection, TiltSteersWithItsSignAndMoreForMore) {
    std::map<int, int> sway;
    for (int degrees : {-20, -10, 0, 10, 20})
        sway[degrees] = Pairing().detect(testsupport::facePicture(degrees));
    for (auto [less, more] : {std::pair{-20, -10}, {-10, 0}, {0, 10}, {10, 20}})
        EXPECT_LT(sway[less], sway[more]) << less;
    EXPECT_LT(sway[-10], 0);
    EXPECT_GT(sway[10], 0);
}

TEST(FaceDetection, NoFaceGivesZero) {
    EXPECT_EQ(Pairing().detect(cv::imread(DRAVOLT_TEST_DATA "/astronaut-noface.png")), 0);
}

// The dump's name is easy to guess: a link planted under it in a shared folder is never
// written through. Under a free name the picture is written.
TEST(EyeDetectorDump, IsANewFileNeverWrittenThroughALink) {
    testsupport::ScratchFolder folder;
    const long long now = std::time(nullptr);
    // Links to files yet to be made: a dump written through one would make that file.
    for (long long second = now; second < now + 5; ++second)
        std::filesystem::create_symlink("notes-" + std::to_string(second) + ".txt",
                                        "image_" + std::to_string(second) + ".png");
    Pairing p;
    p.frame({}, true);
    const std::string out = p.console.str();
    const std::string seconds = std::to_string(std::stoll(out.substr(2)));
    EXPECT_EQ(out, "\n\n" + seconds + " dump to file 'image_" + seconds + ".png'\n" + seconds +
                       " can't dump to file 'image_" + seconds +
                       ".png': a file of that name exists already\n");
    EXPECT_EQ(folder.files(), 5u) << "nothing was made where a link led";
    for (long long second = now; second < now + 5; ++second)
        std::filesystem::remove("image_" + std::to_string(second) + ".png");
    p.frame({}, true);
    const std::string second = p.console.str().substr(out.size() + 2);
    const std::string name = "image_" + std::to_string(std::stoll(second)) + ".png";
    EXPECT_EQ(cv::imread(name).size(), p.canvas.size());
    EXPECT_EQ(folder.files(), 1u);
}

// A data folder reached through another user's link could be anybody's: the dump makes no
// folder there and writes nothing, and says why.
TEST(EyeDetectorDump, WritesNothingThroughAnotherUsersLink) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    testsupport::ScratchFolder folder;
    std::filesystem::create_directory(folder.path / "real");
    std::filesystem::create_directory_symlink("real", folder.path / "home");
    ASSERT_EQ(lchown((folder.path / "home").c_str(), 65534, 65534), 0);
    GamePaths::Inputs installed; // no textures in the working folder
    installed.workingFolder = folder.path;
    installed.environment = [&](const std::string& name) -> std::optional<std::string> {
        return name == "HOME" ? std::optional((folder.path / "home").string()) : std::nullopt;
    };
    const GamePaths paths(installed);
    Pairing p;
    p.detector.setPaths(paths);
    p.frame({}, true);
    const std::string out = p.console.str();
    const std::string seconds = std::to_string(std::stoll(out.substr(2)));
    EXPECT_EQ(out, "\n\n" + seconds + " can't dump to file '" +
                       (folder.path / "home/.local/share/dravolt/image_").string() + seconds +
                       ".png': it is reached through a link that belongs to another user ('" +
                       (folder.path / "home").string() + "')\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path / "real"));
}
