#include "screens/HiScoreScreen.hpp"
#include "ScreenTestSupport.hpp"
#include "core/GamePaths.hpp"
#include "hiscore/HiScore.hpp"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

struct NameEntry : ::testing::Test {
    NameEntry() : screen(&resources, &hiScore, path) {
        hiScore.setMaxEntries(8);
        screen.enter(1000);
        screen.draw(screen.canvas);
    }
    ~NameEntry() override { unlink(path.c_str()); }
    void type(std::initializer_list<int> keys) {
        for (int key : keys)
            EXPECT_TRUE(screen.handleKey(key)) << key;
    }
    HiScoreEntry saved(int rank) {
        HiScore table;
        EXPECT_TRUE(table.load(path));
        EXPECT_EQ(table.entries.size(), 8u);
        return *std::next(table.entries.begin(), rank);
    }
    Resources resources;
    HiScore hiScore;
    const std::string path = testing::TempDir() + "screens-" + std::to_string(getpid()) + ".xml";
    HiScoreScreen screen;
};

TEST_F(NameEntry, KeysEditAtTheEndAndOnlyPrintableCodesAreTaken) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 0, 5000, 0), 1000));
    type({8, 'A', 'b', ' ', 'c', 8, 8, 'x'}); // Backspace on nothing is taken too
    EXPECT_EQ(screen.typedName, "Abx");
    // ESC, arrows, F1, DEL, codes whose low byte looks printable, no key.
    for (int key : {27, 0xFF51, 0xFF54, 0xFFBE, 0x141, 0x10061, 127, 255, 31, -1})
        EXPECT_FALSE(screen.handleKey(key)) << key;
    type({'~'}); // 126, the last printable code
}

TEST_F(NameEntry, CursorShows600HidesFor200FromTheOffer) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 0, 5000, 0), 1000));
    const int64_t at[] = {0, 599999, 600000, 799999, 800000, 1399999, 1400000};
    for (int i = 0; i < 7; ++i) {
        screen.update(0, 1000 + at[i]);
        EXPECT_EQ(screen.cursorVisible, "1100110"[i] == '1') << at[i];
    }
}

TEST_F(NameEntry, OnlyARankingResultOpensTheCentredGreyPanel) {
    cv::Mat frame = roadFrame();
    const cv::Mat original = frame.clone();
    EXPECT_FALSE(screen.offer(HiScoreEntry("", 0, 1519, 0), 1000)); // below a full table
    EXPECT_EQ(screen.y, -275);
    EXPECT_TRUE(screen.drawBackground(frame, 115, 25));
    EXPECT_TRUE(identical(frame, original));
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 1000, 3000, 2), 1000));
    EXPECT_EQ(cv::Point3i(screen.pendingRank, screen.x, screen.y), cv::Point3i(1, -285, -127));
    EXPECT_EQ(hiScore.entries.size(), 8u); // not inserted before ENTER
    EXPECT_TRUE(screen.drawBackground(frame, 115, 173));
    EXPECT_TRUE(identical(frame, greyBlur(original)));
}

TEST_F(NameEntry, EnterInsertsAtTheRankSavesAndReturnsThePanelToTheTop) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 1000, 2000, 1), 1000)); // 2990: rank 3
    type({'Z', 'e', 'd', 13});
    EXPECT_EQ(screen.y, -275);
    EXPECT_EQ(saved(3).name, "Zed");
    EXPECT_EQ(saved(7).total, 1830); // the old eighth dropped out
    EXPECT_FALSE(screen.handleKey('q'));
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 0, 9000, 0), 1000));
    type({13});
    EXPECT_EQ(saved(0).name, "");
    EXPECT_EQ(saved(0).total, 9000);
}

// An installed game saves into the per-user folder, made on the first save; a folder that
// cannot be made costs the save only, with the reason on the console.
TEST_F(NameEntry, EnterMakesTheUserFolderBeforeSavingOrSaysWhyItCannot) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / ("screens-" + std::to_string(getpid()));
    fs::create_directories(root / "work");
    std::ofstream(root / "file") << "x";
    for (const std::string data : {"data", "file"}) { // XDG_DATA_HOME and HOME alike
        const GamePaths paths(
            {root / "work", "", [&](auto&) { return (root / data).string(); }, ""});
        HiScoreScreen installed(&resources, &hiScore, paths.writeFile("hiscore.xml").string());
        installed.paths = &paths;
        ASSERT_TRUE(installed.offer(HiScoreEntry("", 0, 9000, 0), 1000));
        testing::internal::CaptureStdout();
        installed.handleKey(13);
        const std::string out = testing::internal::GetCapturedStdout();
        const bool saved = fs::is_regular_file(root / data / "dravolt/hiscore.xml");
        EXPECT_EQ(saved, data == "data") << out;
        EXPECT_EQ(hiScore.saveFailure.empty(), saved) << "the start screen shows why";
        const std::string why = "Can't save '" + (root / "file/dravolt/hiscore.xml").string() +
                                "': can't create the folder";
        EXPECT_EQ(out.find(why), saved ? std::string::npos : 0) << out;
    }
    fs::remove_all(root);
}
