#include "ScreenTestSupport.hpp"

#include "gfx/Palette.hpp"
#include "hiscore/HiScore.hpp"
#include "screens/HiScoreScreen.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace screentest;
namespace fs = std::filesystem;

namespace {

HiScoreEntry resultWithTotal(int total) {
    return HiScoreEntry("", 0, total, 0);
}

struct NameEntry : ::testing::Test {
    NameEntry() : clock(1000), screen(&resources, &resources.hiScore) {
        resources.hiScore.setMaxEntries(8);
        fs::create_directories(directory);
        resources.hiScorePath = (directory / "hiscore.xml").string();
        screen.enter();
        screen.draw(screen.canvas);
    }
    ~NameEntry() override { fs::remove_all(directory); }
    std::list<HiScoreEntry> savedTable() {
        HiScore saved;
        EXPECT_TRUE(saved.load(resources.hiScorePath));
        return saved.entries;
    }
    // The table drawn on black at the centred panel's place, without the banner above it.
    cv::Mat table() {
        cv::Mat frame(600, 800, CV_8UC3, cv::Scalar::all(0));
        screen.drawHint(frame, 115, 173);
        return frame.rowRange(173, 600).clone();
    }
    FakeClock clock;
    fs::path directory = fs::temp_directory_path() /
                         ("dravolt-screens-" + std::to_string(::getpid()) + "-" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    Resources resources;
    HiScoreScreen screen;
};

using NameEntryKeys = NameEntry;
using HiScoreOffer = NameEntry;
using HiScoreRows = NameEntry;

TEST_F(NameEntryKeys, EditingAppendsAndDeletesAtTheEnd) {
    ASSERT_TRUE(screen.offer(resultWithTotal(5000)));
    EXPECT_TRUE(screen.handleKey(8)); // nothing to delete, still taken
    EXPECT_EQ(screen.typedName, "");
    for (int key : std::initializer_list<int>{'A', 'b', ' ', 'c', 8, 8, 'x'}) {
        EXPECT_TRUE(screen.handleKey(key));
    }
    EXPECT_EQ(screen.typedName, "Abx");
}

TEST_F(NameEntryKeys, KeysWithoutACharacterGoOnToTheGlobalKeys) {
    ASSERT_TRUE(screen.offer(resultWithTotal(5000)));
    // ESC, arrows and F1 of the window, DEL, codes whose low byte looks printable, no key.
    for (int key : {27, 0xFF51, 0xFF54, 0xFFBE, 0x141, 0x10061, 127, 255, 31, -1}) {
        EXPECT_FALSE(screen.handleKey(key)) << key;
    }
    EXPECT_TRUE(screen.handleKey(32));
    EXPECT_TRUE(screen.handleKey(126));
    EXPECT_EQ(screen.typedName, " ~");
    EXPECT_EQ(screen.mode, 1);
}

TEST_F(NameEntryKeys, EnterInsertsSavesAndReturnsThePanelToTheTop) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 1000, 2000, 1))); // 2990: rank 3
    for (int key : std::initializer_list<int>{'Z', 'e', 'd', 13}) {
        EXPECT_TRUE(screen.handleKey(key));
    }
    EXPECT_EQ(screen.mode, 0);
    EXPECT_EQ(screen.pendingRank, -1);
    EXPECT_EQ(screen.y, -275);
    const auto saved = savedTable();
    ASSERT_EQ(saved.size(), 8u);
    EXPECT_EQ(std::next(saved.begin(), 3)->name, "Zed");
    EXPECT_EQ(saved.back().total, 1830); // the eighth dropped out
    EXPECT_FALSE(screen.handleKey('q'));

    ASSERT_TRUE(screen.offer(resultWithTotal(9000)));
    EXPECT_TRUE(screen.handleKey(13)); // nothing typed: an empty name
    EXPECT_EQ(savedTable().front().name, "");
    EXPECT_EQ(savedTable().front().total, 9000);
}

TEST_F(HiScoreOffer, OnlyARankingResultOpensNameEntryInTheCentre) {
    EXPECT_FALSE(screen.offer(resultWithTotal(1519))); // below all eight
    EXPECT_EQ(screen.mode, 0);
    EXPECT_EQ(screen.y, -275);
    EXPECT_FALSE(fs::exists(resources.hiScorePath));

    ASSERT_TRUE(screen.offer(HiScoreEntry("", 1000, 3000, 2)));
    EXPECT_EQ(screen.pendingRank, 1);
    EXPECT_EQ(screen.x, -285);
    EXPECT_EQ(screen.y, -127);
    EXPECT_EQ(resources.hiScore.entries.size(), 8u); // not inserted before ENTER

    EXPECT_FALSE(screen.offer(resultWithTotal(0))); // back to the top from name entry
    EXPECT_EQ(screen.mode, 0);
    EXPECT_EQ(screen.y, -275);
}

TEST_F(HiScoreRows, PendingRowIsEmphasisedAtItsRankInTheRankColour) {
    // Compared with the same table after ENTER: only the pending row's own slot differs (the
    // emphasis keeps the spacing), so the eighth stored entry is hidden while it stands.
    // Last: a result below all of a short table goes after its last row.
    const int totals[] = {9000, 3800, 3500, 2200, 1600, 10};
    const int ranks[] = {0, 1, 2, 5, 7, 3};
    const cv::Scalar colours[] = {GOLD, SILVER, BRONZE, WHITE, WHITE, WHITE};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(ranks[i]);
        resources.hiScore.clear();
        resources.hiScore.loadDefaults();
        resources.hiScore.entries.resize(i < 5 ? 8 : 3);
        ASSERT_TRUE(screen.offer(resultWithTotal(totals[i])));
        ASSERT_EQ(screen.pendingRank, ranks[i]);
        screen.handleKey('N');
        const cv::Mat pending = table();
        screen.handleKey(13);
        const cv::Mat committed = table();

        int baseline = 41 + screen.rowFont.height + 5, slotTop = 0;
        for (int row = 0; row <= ranks[i]; ++row) {
            slotTop = baseline;
            baseline += (row < 3 ? screen.topFont.height : screen.rowFont.height) + 6;
        }
        const cv::Rect changed = changedRegion(pending, committed);
        EXPECT_GE(changed.y, slotTop - 2);
        EXPECT_LE(changed.y + changed.height, baseline + 5);
        cv::Mat pendingColour, committedColour;
        cv::inRange(pending.rowRange(slotTop, baseline + 5), colours[i], colours[i], pendingColour);
        cv::inRange(committed.rowRange(slotTop, baseline + 5), colours[i], colours[i],
                    committedColour);
        // Bolder: the thicker strokes alone nearly double the pixels of the row's colour.
        EXPECT_GT(cv::countNonZero(pendingColour), cv::countNonZero(committedColour) * 17 / 10);
        // Larger, not only bolder: the TOTAL column's figures reach further right.
        EXPECT_GE(cv::boundingRect(pendingColour).br().x,
                  cv::boundingRect(committedColour).br().x + 8);
    }
}

TEST_F(HiScoreRows, BackdropIsGreyInNameEntryAndUntouchedForTheTable) {
    cv::Mat frame = roadFrame();
    const cv::Mat original = frame.clone();
    EXPECT_TRUE(screen.drawBackground(frame, 115, 25));
    EXPECT_TRUE(identical(frame, original));
    ASSERT_TRUE(screen.offer(resultWithTotal(5000)));
    EXPECT_TRUE(screen.drawBackground(frame, 115, 173));
    EXPECT_TRUE(channelsEqual(frame));
    EXPECT_FALSE(identical(frame, original));
}

} // namespace
