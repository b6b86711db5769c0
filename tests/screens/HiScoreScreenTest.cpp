#include "screens/HiScoreScreen.hpp"
#include "gfx/Resources.hpp"
#include "hiscore/HiScore.hpp"

#include <gtest/gtest.h>

struct NameEntry : ::testing::Test {
    NameEntry() : screen(&resources, &hiScore) {
        hiScore.setMaxEntries(8);
        screen.enter(1000);
        screen.draw(screen.canvas);
    }
    void type(std::initializer_list<int> keys) {
        for (int key : keys)
            EXPECT_TRUE(screen.handleKey(key)) << key;
    }
    Resources resources;
    HiScore hiScore;
    HiScoreScreen screen;
};

TEST_F(NameEntry, KeysEditAtTheEndAndOnlyPrintableCodesAreTaken) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 0, 5000, 0), 1000));
    type({8, 'A', 'b', ' ', 'c', 8, 8, 'x'}); // Backspace on nothing is taken too
    EXPECT_EQ(screen.panel().typedName, "Abx");
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
        EXPECT_EQ(screen.panel().cursorVisible, "1100110"[i] == '1') << at[i];
    }
}

// The screen hands the named record back and leaves the table to the game's store.
TEST_F(NameEntry, EnterConfirmsTheNameAndReturnsThePanelToTheTop) {
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 1000, 2000, 1), 1000)); // 2990: rank 3
    type({'Z', 'e', 'd'});
    EXPECT_EQ(screen.mode(), HiScoreMode::NameEntry);
    type({13});
    EXPECT_EQ(screen.panel().y, -275);
    EXPECT_EQ(screen.mode(), HiScoreMode::Table);
    EXPECT_EQ(screen.record().name, "Zed");
    EXPECT_EQ(screen.record().total, 2990);
    EXPECT_FALSE(screen.handleKey('q'));
    ASSERT_TRUE(screen.offer(HiScoreEntry("", 0, 9000, 0), 1000));
    type({13});
    EXPECT_EQ(screen.record().name, "");
}
