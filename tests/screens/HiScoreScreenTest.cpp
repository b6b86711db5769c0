#include "screens/HiScoreScreen.hpp"
#include "ScreenTestSupport.hpp"
#include "core/GamePaths.hpp"
#include "gfx/Palette.hpp"
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
    // The table drawn on black where the centred panel stands, below the banner.
    cv::Mat table() {
        cv::Mat frame(600, 800, CV_8UC3, cv::Scalar::all(0));
        screen.drawHint(frame, 115, 173);
        return frame.rowRange(173, 600).clone();
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
    const fs::path root =
        fs::path(testing::TempDir()) / ("screens-home-" + std::to_string(getpid()));
    fs::create_directories(root / "work");
    std::ofstream(root / "file") << "x";
    for (const char* home : {"home", "file"}) {
        const GamePaths paths({root / "work", "",
                               [&](const std::string& name) {
                                   return name == "HOME" ? std::optional((root / home).string())
                                                         : std::nullopt;
                               },
                               ""});
        HiScoreScreen installed(&resources, &hiScore, paths.writeFile("hiscore.xml").string());
        installed.paths = &paths;
        installed.enter(1000);
        ASSERT_TRUE(installed.offer(HiScoreEntry("", 0, 9000, 0), 1000));
        testing::internal::CaptureStdout();
        installed.handleKey(13);
        const std::string out = testing::internal::GetCapturedStdout();
        const bool saved = fs::is_regular_file(root / home / ".local/share/dravolt/hiscore.xml");
        EXPECT_EQ(saved, home == std::string("home")) << home;
        EXPECT_EQ(hiScore.saveFailure.empty(), saved) << "the start screen shows why";
        EXPECT_EQ(out.find("Can't save '" +
                           (root / "file/.local/share/dravolt/hiscore.xml").string() +
                           "': can't create the folder"),
                  saved ? std::string::npos : 0)
            << out;
    }
    fs::remove_all(root);
}

TEST_F(NameEntry, PendingRowIsEmphasisedAtItsRankInTheRankColour) {
    // {total, rank, rows stored}. Against the same table after ENTER (the record at its rank)
    // only one slot may differ, the pending row's: the eighth stored row is hidden while it
    // stands. Last: below all of a short table.
    const std::list<HiScoreEntry> full = hiScore.entries;
    const cv::Scalar colours[] = {GOLD, SILVER, BRONZE, WHITE, WHITE};
    const int cases[][3] = {{9000, 0, 8}, {3800, 1, 8}, {3500, 2, 8}, {2200, 5, 8}, {10, 3, 3}};
    for (int i = 0; i < 5; ++i) {
        const auto [total, rank, stored] = cases[i];
        SCOPED_TRACE(rank);
        hiScore.entries.assign(full.begin(), std::next(full.begin(), stored));
        ASSERT_TRUE(screen.offer(HiScoreEntry("", 0, total, 0), 1000));
        ASSERT_EQ(screen.pendingRank, rank);
        type({'N'});
        const cv::Mat pending = table();
        type({13});
        const cv::Mat committed = table();
        const cv::Rect changed = changedRegion(pending, committed);
        EXPECT_LE(changed.height, screen.topFont.height + 8) << changed; // one slot
        cv::Mat bold, plain;
        cv::inRange(pending(changed), colours[i], colours[i], bold);
        cv::inRange(committed(changed), colours[i], colours[i], plain);
        EXPECT_GT(cv::countNonZero(bold), cv::countNonZero(plain) * 17 / 10);       // thicker
        EXPECT_GE(cv::boundingRect(bold).width, cv::boundingRect(plain).width + 8); // larger
    }
}
