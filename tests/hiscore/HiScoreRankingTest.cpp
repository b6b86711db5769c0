#include "hiscore/HiScore.hpp"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace {

HiScore emptyTable(std::size_t maxEntries = 8) {
    HiScore table;
    table.clear();
    table.setMaxEntries(maxEntries);
    return table;
}

std::vector<std::string> names(const HiScore& table) {
    std::vector<std::string> result;
    for (const HiScoreEntry& entry : table.entries)
        result.push_back(entry.name);
    return result;
}

} // namespace

TEST(HiScoreRanking, FewerHitsWinOnEqualTotal) {
    HiScore table = emptyTable();
    table.insert(HiScoreEntry("more hits", 1000, 1100, 10), false); // total 2000
    EXPECT_EQ(table.insert(HiScoreEntry("fewer hits", 1000, 1010, 1), false), 0);
    EXPECT_EQ(names(table), (std::vector<std::string>{"fewer hits", "more hits"}));
}

TEST(HiScoreRanking, LongerDistanceWinsOnEqualTotalAndHits) {
    HiScore table = emptyTable();
    table.insert(HiScoreEntry("long", 900, 100, 2), false);
    EXPECT_EQ(table.insert(HiScoreEntry("short", 100, 900, 2), false), 1);
    EXPECT_EQ(table.insert(HiScoreEntry("longer", 901, 99, 2), false), 0);
    EXPECT_EQ(names(table), (std::vector<std::string>{"longer", "long", "short"}));
}

TEST(HiScoreRanking, HigherScoreWinsWhenTotalsAreBothZero) {
    // Negative sums are stored as 0, so only here can the score decide.
    HiScore table = emptyTable();
    table.insert(HiScoreEntry("low", 10, 5, 50), false);
    EXPECT_EQ(table.insert(HiScoreEntry("high", 10, 6, 50), false), 0);
    EXPECT_EQ(table.insert(HiScoreEntry("lowest", 10, 4, 50), false), 2);
}

TEST(HiScoreRanking, NewerEntryGoesAboveAnEqualOne) {
    HiScore table = emptyTable();
    table.insert(HiScoreEntry("older", 500, 500, 5), false);
    table.insert(HiScoreEntry("other", 1, 1, 0), false);
    EXPECT_EQ(table.insert(HiScoreEntry("newer", 500, 500, 5), false), 0);
    EXPECT_EQ(names(table), (std::vector<std::string>{"newer", "older", "other"}));
}

TEST(HiScoreRanking, EmptyTableRanksFirstAlsoWhenProbing) {
    HiScore table = emptyTable();
    EXPECT_EQ(table.insert(HiScoreEntry("probe", 0, 0, 99), true), 0);
    EXPECT_TRUE(table.entries.empty());
    EXPECT_EQ(table.insert(HiScoreEntry("real", 0, 0, 99), false), 0);
    EXPECT_EQ(table.entries.size(), 1u);
}

TEST(HiScoreRanking, FullTableRefusesWorseAndDropsTheEighth) {
    HiScore table;
    table.setMaxEntries(8);
    const auto defaults = names(table);
    EXPECT_EQ(table.insert(HiScoreEntry("worse", 100, 100, 9), true), -1);
    EXPECT_EQ(table.insert(HiScoreEntry("worse", 100, 100, 9), false), -1);
    EXPECT_EQ(names(table), defaults);

    const HiScoreEntry second("second", 1400, 2200, 1); // total 3590: between 3990 and 3580
    EXPECT_EQ(table.insert(second, true), 1);
    const HiScoreEntry third("third", 1000, 2500, 0); // total 3500
    EXPECT_EQ(table.insert(third, true), 2);
    EXPECT_EQ(names(table), defaults);
    EXPECT_EQ(table.insert(third, false), 2);
    ASSERT_EQ(table.entries.size(), 8u);
    EXPECT_EQ(names(table)[2], "third");
    EXPECT_EQ(table.entries.back().name, ".Orlan."); // the 1520 of ".Joss." is gone
    EXPECT_EQ(table.entries.back().total, 1830);
}

TEST(HiScoreRanking, TableWithRoomAppendsAWorseEntry) {
    HiScore table = emptyTable();
    table.insert(HiScoreEntry("a", 100, 100, 0), false);
    table.insert(HiScoreEntry("b", 50, 50, 0), false);
    EXPECT_EQ(table.insert(HiScoreEntry("last", 0, 0, 3), false), 2);
    EXPECT_EQ(table.entries.back().name, "last");
}

TEST(HiScoreRanking, SetMaxEntriesDropsFromTheEnd) {
    HiScore table; // ten places, eight built-in rows
    EXPECT_EQ(table.maxEntries, 10u);
    table.setMaxEntries(3);
    EXPECT_EQ(names(table), (std::vector<std::string>{".Orlan.", ".Tavio.", ".Pelkin."}));
}

TEST(HiScoreEntryTotal, NeverNegativeNorOverflowing) {
    EXPECT_EQ(HiScoreEntry::computeTotal(50, 0, 9), 0);
    EXPECT_EQ(HiScoreEntry::computeTotal(1500, 2500, 1), 3990);
    EXPECT_EQ(HiScoreEntry::computeTotal(INT_MAX, INT_MAX, 0), INT_MAX);
    EXPECT_EQ(HiScoreEntry::computeTotal(0, 0, INT_MIN), INT_MAX);
    EXPECT_EQ(HiScoreEntry::computeTotal(INT_MIN, INT_MIN, INT_MAX), 0);
}

TEST(HiScoreNames, LongNamesAreCutWithoutSplittingACharacter) {
    const std::string ascii(5000, 'a');
    EXPECT_EQ(HiScoreEntry::boundName(ascii), std::string(HiScoreEntry::maxNameBytes, 'a'));
    // 254 bytes, then a two-byte character across the limit: it goes whole.
    const std::string utf8 = std::string(254, 'b') + "\xC3\xA9" + "tail";
    EXPECT_EQ(HiScoreEntry::boundName(utf8), std::string(254, 'b'));
    EXPECT_EQ(HiScoreEntry::boundName(std::string("ab\0cd", 5)), "ab");

    HiScore table;
    table.insert(HiScoreEntry(ascii, 9999, 9999, 0), false);
    EXPECT_EQ(table.entries.front().name.size(), HiScoreEntry::maxNameBytes);
}
