#include "ScreenTestSupport.hpp"

#include "gfx/Palette.hpp"
#include "hiscore/HiScore.hpp"
#include "screens/HiScoreScreen.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using namespace screentest;
namespace fs = std::filesystem;

namespace {

const int64_t START = 9000000;

// A result with this total and nothing else to tell it apart.
HiScoreEntry resultWithTotal(const std::string& name, int total) {
    return HiScoreEntry(name, 0, total, 0);
}

struct HiScoreFixture : ::testing::Test {
    HiScoreFixture() : clock(START), screen(&resources, &resources.hiScore) {
        resources.hiScore.setMaxEntries(8);
        directory = fs::temp_directory_path() /
                    ("dravolt-hiscore-screen-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory);
        resources.hiScorePath = (directory / "hiscore.xml").string();
        screen.enter();
        screen.draw(screen.canvas);
    }
    ~HiScoreFixture() override { fs::remove_all(directory); }

    void type(const std::string& keys) {
        for (char key : keys) {
            EXPECT_TRUE(screen.handleKey(static_cast<unsigned char>(key)));
        }
    }
    std::list<HiScoreEntry> savedTable() {
        HiScore saved;
        saved.setMaxEntries(8);
        EXPECT_TRUE(saved.load(resources.hiScorePath));
        return saved.entries;
    }
    // The table alone on a black frame, at the centred panel's place (without the banner).
    cv::Mat table() {
        cv::Mat frame(600, 800, CV_8UC3, cv::Scalar::all(0));
        screen.drawHint(frame, 115, 173);
        return frame(cv::Rect(0, 173, 800, 600 - 173)).clone();
    }
    int firstRowBaseline() const { return 41 + screen.rowFont.height + 5; }
    int rowBaseline(int row) const {
        int y = firstRowBaseline();
        for (int i = 0; i <= row; ++i) {
            y += (i < 3 ? screen.topFont.height : screen.rowFont.height) + 6;
        }
        return y;
    }

    FakeClock clock;
    fs::path directory;
    Resources resources;
    HiScoreScreen screen;
};

using NameEntryKeys = HiScoreFixture;
using NameEntryCommit = HiScoreFixture;
using HiScoreOffer = HiScoreFixture;
using HiScoreTable = HiScoreFixture;
using HiScorePicture = HiScoreFixture;

TEST_F(NameEntryKeys, BackspaceDeletesAtTheEndAndTypingAppendsThere) {
    ASSERT_TRUE(screen.offer(resultWithTotal("", 5000)));
    type("Abc c");
    EXPECT_EQ(screen.typedName, "Abc c");
    screen.handleKey(8);
    screen.handleKey(8);
    screen.handleKey(8);
    EXPECT_EQ(screen.typedName, "Ab");
    type("x");
    EXPECT_EQ(screen.typedName, "Abx");
    type("yz");
    EXPECT_EQ(screen.typedName, "Abxyz");
}

TEST_F(NameEntryKeys, TheListedSequenceGivesAbx) {
    ASSERT_TRUE(screen.offer(resultWithTotal("", 5000)));
    for (int key : std::initializer_list<int>{'A', 'b', ' ', 'c', 8, 8, 'x'}) {
        EXPECT_TRUE(screen.handleKey(key));
    }
    EXPECT_EQ(screen.typedName, "Abx");
    EXPECT_EQ(screen.mode, 1);
}

TEST_F(NameEntryKeys, BackspaceOnNothingIsConsumed) {
    ASSERT_TRUE(screen.offer(resultWithTotal("", 5000)));
    EXPECT_TRUE(screen.handleKey(8));
    EXPECT_EQ(screen.typedName, "");
    EXPECT_EQ(screen.mode, 1);
}

TEST_F(NameEntryKeys, OnlyPrintableCodesBackspaceAndEnterAreConsumed) {
    ASSERT_TRUE(screen.offer(resultWithTotal("", 5000)));
    // ESC, arrows and function keys of the window, DEL, codes that only look like
    // characters in their low byte, and no key at all.
    for (int key : {27, 0xFF51, 0xFF52, 0xFFBE, 0x10020, 0x141, 127, 128, 255, 31, 0, 9, 10, -1}) {
        EXPECT_FALSE(screen.handleKey(key)) << key;
    }
    EXPECT_EQ(screen.typedName, "");
    EXPECT_TRUE(screen.handleKey(32));
    EXPECT_TRUE(screen.handleKey(126));
    EXPECT_EQ(screen.typedName, " ~");
    EXPECT_EQ(screen.mode, 1);
}

TEST_F(NameEntryKeys, NoKeyIsTakenOutsideNameEntry) {
    EXPECT_FALSE(screen.handleKey('a'));
    EXPECT_FALSE(screen.handleKey(13));
    EXPECT_FALSE(screen.handleKey(8));
    EXPECT_EQ(screen.typedName, "");
}

TEST_F(NameEntryCommit, EnterInsertsAtTheRankSavesAndMovesThePanelUp) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("ignored", 1000, 2000, 1))); // total 2990: rank 3
    EXPECT_EQ(screen.pendingRank, 3);
    type("Zed");
    EXPECT_TRUE(screen.handleKey(13));

    EXPECT_EQ(screen.mode, 0);
    EXPECT_EQ(screen.pendingRank, -1);
    EXPECT_EQ(screen.y, -275);
    EXPECT_EQ(resources.hiScore.entries.size(), 8u);
    const auto saved = savedTable();
    ASSERT_EQ(saved.size(), 8u);
    auto fourth = std::next(saved.begin(), 3);
    EXPECT_EQ(fourth->name, "Zed");
    EXPECT_EQ(fourth->total, 2990);
    EXPECT_EQ(saved.back().name, ".Orlan."); // .Joss. dropped out
    EXPECT_FALSE(screen.handleKey('q'));
}

TEST_F(NameEntryCommit, EnterOnNothingSavesAnEmptyName) {
    ASSERT_TRUE(screen.offer(resultWithTotal("typed earlier", 9000)));
    EXPECT_TRUE(screen.handleKey(13));
    const auto saved = savedTable();
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved.front().name, "");
    EXPECT_EQ(saved.front().total, 9000);
}

TEST_F(NameEntryCommit, ASecondEntryStartsWithAnEmptyName) {
    ASSERT_TRUE(screen.offer(resultWithTotal("", 9000)));
    type("First");
    screen.handleKey(13);
    ASSERT_TRUE(screen.offer(resultWithTotal("", 9500)));
    EXPECT_EQ(screen.typedName, "");
    type("Two");
    screen.handleKey(13);
    const auto saved = savedTable();
    EXPECT_EQ(saved.front().name, "Two");
    EXPECT_EQ(std::next(saved.begin())->name, "First");
}

TEST_F(NameEntryCommit, BelowAShortTableTheResultIsAppended) {
    resources.hiScore.setMaxEntries(3); // keeps the best three defaults
    resources.hiScore.setMaxEntries(8);
    ASSERT_TRUE(screen.offer(resultWithTotal("", 10)));
    EXPECT_EQ(screen.pendingRank, 3);
    type("Last");
    screen.handleKey(13);
    ASSERT_EQ(resources.hiScore.entries.size(), 4u);
    EXPECT_EQ(resources.hiScore.entries.back().name, "Last");
}

TEST_F(HiScoreOffer, RankingResultCentresThePanelForNameEntry) {
    EXPECT_EQ(screen.y, -275);
    EXPECT_EQ(screen.x, -285);
    ASSERT_TRUE(screen.offer(HiScoreEntry("run", 1000, 3000, 2)));
    EXPECT_EQ(screen.mode, 1);
    EXPECT_EQ(screen.x, -285);
    EXPECT_EQ(screen.y, -127);
    EXPECT_EQ(screen.pendingRank, 1);
    EXPECT_EQ(screen.pending.total, 3980);
    EXPECT_EQ(resources.hiScore.entries.size(), 8u); // not inserted before ENTER
}

TEST_F(HiScoreOffer, ResultWorseThanAFullTableIsRefused) {
    EXPECT_FALSE(screen.offer(resultWithTotal("slow", 1519)));
    EXPECT_EQ(screen.mode, 0);
    EXPECT_EQ(screen.y, -275);
    EXPECT_EQ(screen.pendingRank, -1);
    EXPECT_EQ(resources.hiScore.entries.size(), 8u);
    EXPECT_FALSE(fs::exists(resources.hiScorePath));
}

TEST_F(HiScoreOffer, CursorShows600msAndHides200msOnlyInNameEntry) {
    screen.update(0, START);
    EXPECT_FALSE(screen.cursorVisible); // mode 0: no cursor
    const int64_t t = START + 2000000;
    fakeNow = t;
    ASSERT_TRUE(screen.offer(resultWithTotal("", 5000)));
    screen.update(0, t);
    EXPECT_TRUE(screen.cursorVisible);
    fakeNow = t + 599999;
    screen.update(0, fakeNow);
    EXPECT_TRUE(screen.cursorVisible);
    fakeNow = t + 600000;
    screen.update(0, fakeNow);
    EXPECT_FALSE(screen.cursorVisible);
    // Measured from the fresh reading: this frame's time was stamped 50 ms before it.
    fakeNow = t + 850000;
    screen.update(0, t + 800000);
    EXPECT_TRUE(screen.cursorVisible);
    EXPECT_EQ(screen.nextToggle, t + 850000 + 600000);
}

TEST_F(HiScoreTable, PendingRowTakesItsRankEmphasisedInTheRankColour) {
    // Each pending row compared with the same table after ENTER: only that row's own slot
    // differs (drawn larger, row spacing unchanged), and the stored eighth entry that the
    // record pushes out is already hidden.
    const int totals[] = {9000, 3800, 3500, 2900, 2200, 1600};
    const int ranks[] = {0, 1, 2, 3, 5, 7};
    const cv::Scalar colours[] = {GOLD, SILVER, BRONZE, WHITE, WHITE, WHITE};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(ranks[i]);
        resources.hiScore.clear();
        resources.hiScore.loadDefaults();
        ASSERT_TRUE(screen.offer(resultWithTotal("", totals[i])));
        ASSERT_EQ(screen.pendingRank, ranks[i]);
        type("NEW");
        screen.cursorVisible = false;
        const cv::Mat pendingTable = table();
        screen.handleKey(13);
        const cv::Mat committedTable = table();

        cv::Mat difference;
        cv::absdiff(pendingTable, committedTable, difference);
        cv::cvtColor(difference, difference, cv::COLOR_BGR2GRAY);
        const cv::Rect changed = cv::boundingRect(difference);
        ASSERT_FALSE(changed.empty());
        const int baseline = rowBaseline(ranks[i]);
        const int slotTop =
            baseline - (ranks[i] < 3 ? screen.topFont.height : screen.rowFont.height) - 6;
        EXPECT_GE(changed.y, slotTop - 4);
        EXPECT_LE(changed.y + changed.height, baseline + 6);
        // Larger and bolder: more pixels of the rank's colour than the committed row.
        const cv::Rect slot(0, slotTop, 800, baseline + 6 - slotTop);
        EXPECT_GT(countColour(pendingTable, colours[i], slot),
                  countColour(committedTable, colours[i], slot) + 50);
    }
}

TEST_F(HiScoreTable, FormerFirstMovesToTheSecondRowInSilver) {
    ASSERT_TRUE(screen.offer(resultWithTotal("", 9000)));
    const cv::Mat pendingTable = table();
    const int second = rowBaseline(1);
    const cv::Rect secondSlot(0, second - screen.topFont.height - 2, 800,
                              screen.topFont.height + 4);
    const cv::Rect firstSlot(0, rowBaseline(0) - screen.topFont.height - 4, 800,
                             screen.topFont.height + 6);
    EXPECT_GT(countColour(pendingTable, GOLD, firstSlot), 100);
    EXPECT_GT(countColour(pendingTable, SILVER, secondSlot), 100);
    EXPECT_EQ(countColour(pendingTable, GOLD, secondSlot), 0);
}

TEST_F(HiScoreTable, EmptyTableShowsHeadingsAndThenThePendingRowFirst) {
    resources.hiScore.clear();
    cv::Mat empty(600, 800, CV_8UC3, cv::Scalar::all(127));
    screen.drawHint(empty, 115, 173);
    cv::Mat changed;
    cv::inRange(empty, cv::Scalar::all(127), cv::Scalar::all(127), changed);
    cv::bitwise_not(changed, changed);
    const cv::Rect drawn = cv::boundingRect(changed);
    EXPECT_EQ(countColour(empty, BLACK), cv::countNonZero(changed)); // headings and rule only
    EXPECT_EQ(drawn.x, 115 + 10);
    EXPECT_EQ(drawn.y + drawn.height - 1, 173 + 41 + screen.rowFont.height + 3); // the rule

    ASSERT_TRUE(screen.offer(resultWithTotal("", 1)));
    EXPECT_EQ(screen.pendingRank, 0);
    const cv::Mat withPending = table();
    const cv::Rect firstSlot(0, rowBaseline(0) - screen.topFont.height - 4, 800,
                             screen.topFont.height + 8);
    EXPECT_GT(countColour(withPending, GOLD, firstSlot), 50);
}

TEST_F(HiScorePicture, NameEntryBackdropIsGreyAndTableModeLeavesTheFrame) {
    cv::Mat frame = roadFrame();
    const cv::Mat original = frame.clone();
    EXPECT_TRUE(screen.drawBackground(frame, 115, 25));
    EXPECT_TRUE(identical(frame, original));

    ASSERT_TRUE(screen.offer(resultWithTotal("", 5000)));
    const uchar* buffer = frame.data;
    EXPECT_TRUE(screen.drawBackground(frame, 115, 173));
    EXPECT_TRUE(channelsEqual(frame));
    EXPECT_FALSE(identical(frame, original));
    EXPECT_EQ(frame.data, buffer);
}

TEST_F(HiScorePicture, BannerStandsAboveThePanelOnlyDuringNameEntry) {
    const cv::Rect aboveCentredPanel(0, 0, 800, 170);
    cv::Mat frame(600, 800, CV_8UC3, cv::Scalar::all(0));
    compose(screen, frame);
    EXPECT_EQ(frame.at<cv::Vec3b>(25 + 1, 115 + 1), cv::Vec3b(145, 200, 187)); // border at rest

    ASSERT_TRUE(screen.offer(resultWithTotal("", 5000)));
    cv::Mat entry(600, 800, CV_8UC3, cv::Scalar::all(0));
    compose(screen, entry);
    EXPECT_EQ(entry.at<cv::Vec3b>(173 + 1, 115 + 1), cv::Vec3b(145, 200, 187));
    EXPECT_GT(countColour(entry, WHITE, aboveCentredPanel), 1000);
    cv::Mat rim;
    cv::inRange(entry(aboveCentredPanel), cv::Scalar(0, 0, 150), cv::Scalar(100, 100, 255), rim);
    EXPECT_GT(cv::countNonZero(rim), 100);
    // The banner is centred on the frame.
    cv::Mat banner;
    cv::inRange(entry(aboveCentredPanel), WHITE, WHITE, banner);
    const cv::Rect box = cv::boundingRect(banner);
    EXPECT_NEAR(box.x + box.width / 2, 400, 8);
}

} // namespace
