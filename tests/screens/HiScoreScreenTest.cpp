#include "screens/HiScoreScreen.hpp"
#include "hiscore/HiScore.hpp"

#include <gtest/gtest.h>

struct NameEntry : ::testing::Test {
    NameEntry() {
        HiScore table;
        table.setMaxEntries(8);
        screen.showTable(table);
        screen.init(1000);
    }
    // Keys that edit the name.
    void type(std::initializer_list<int> keys) {
        for (int key : keys)
            EXPECT_EQ(screen.handleKey(key).outcome, NameEntryKey::Edited) << key;
    }
    HiScoreScreen screen;
};

TEST_F(NameEntry, KeysEditAtTheEndAndOnlyPrintableCodesAreTaken) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 0, 5000, 0), 1000));
    type({8, 'A', 'b', ' ', 'c', 8, 8, 'x'}); // Backspace on nothing is taken too
    EXPECT_EQ(screen.panel().typedName, "Abx");
    // ESC, arrows, F1, DEL, codes whose low byte looks printable, no key.
    for (int key : {27, 0xFF51, 0xFF54, 0xFFBE, 0x141, 0x10061, 127, 255, 31, -1})
        EXPECT_EQ(screen.handleKey(key).outcome, NameEntryKey::NotTaken) << key;
    type({'~'}); // 126, the last printable code
}

TEST_F(NameEntry, CursorShows600HidesFor200FromTheOffer) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 0, 5000, 0), 1000));
    const int64_t at[] = {0, 599999, 600000, 799999, 800000, 1399999, 1400000};
    for (int i = 0; i < 7; ++i) {
        screen.update(0, 1000 + at[i]);
        EXPECT_EQ(screen.panel().cursorVisible, "1100110"[i] == '1') << at[i];
    }
}

// Below a full table nothing opens; a result that ranks is shown centred at its rank.
TEST_F(NameEntry, OnlyARankingResultOpensTheCentredPanelAtItsRank) {
    EXPECT_FALSE(screen.offer(HiScoreEntry("", 0, 1519, 0), 1000));
    HiScorePanel panel = screen.panel();
    EXPECT_EQ(cv::Vec4i(panel.x, panel.y, panel.pendingRank, int(panel.mode)),
              cv::Vec4i(-285, -275, -1, 0));
    EXPECT_TRUE(screen.offer(HiScoreEntry("", 1000, 3000, 2), 1000));
    panel = screen.panel();
    EXPECT_EQ(cv::Vec4i(panel.x, panel.y, panel.pendingRank, int(panel.mode)),
              cv::Vec4i(-285, -127, 1, 1));
}

// The screen hands the named record back and leaves the table to the game's store.
TEST_F(NameEntry, EnterHandsBackTheResultWithTheNameTyped) {
    for (const std::string name : {"Zed", ""}) {
        ASSERT_TRUE(screen.offer(HiScoreEntry("", 1000, 2000, 1), 1000));
        for (const char letter : name)
            type({letter});
        const NameEntryKey enter = screen.handleKey(13);
        EXPECT_EQ(enter.outcome, NameEntryKey::Confirmed);
        EXPECT_EQ(enter.record, HiScoreEntry(name, 1000, 2000, 1));
    }
}

TEST_F(NameEntry, AfterEnterThePanelRestsAtTheTopAndTakesNoKeys) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 1000, 2000, 1), 1000));
    type({'Z'});
    screen.handleKey(13);
    const HiScorePanel panel = screen.panel();
    EXPECT_EQ(cv::Vec3i(panel.y, panel.pendingRank, int(panel.mode)), cv::Vec3i(-275, -1, 0));
    EXPECT_EQ(screen.handleKey('q').outcome, NameEntryKey::NotTaken);
}
