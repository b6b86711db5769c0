#include "HiScoreTestSupport.hpp"

#include <climits>
#include <gtest/gtest.h>

namespace {

HiScore tableOf(std::vector<HiScoreEntry> entries) {
    HiScore table;
    table.clear();
    table.setMaxEntries(8);
    for (const HiScoreEntry& entry : entries)
        table.insert(entry, false);
    return table;
}

} // namespace

TEST(HiScoreRanking, FewerHitsWinOnEqualTotal) {
    HiScore table = tableOf({HiScoreEntry("more hits", 1000, 1100, 10)}); // total 2000
    EXPECT_EQ(table.insert(HiScoreEntry("fewer hits", 1000, 1010, 1), false), 0);
}

TEST(HiScoreRanking, LongerDistanceWinsOnEqualTotalAndHits) {
    HiScore table = tableOf({HiScoreEntry("long", 900, 100, 2)});
    EXPECT_EQ(table.insert(HiScoreEntry("short", 100, 900, 2), false), 1);
    EXPECT_EQ(table.insert(HiScoreEntry("longer", 901, 99, 2), false), 0);
}

TEST(HiScoreRanking, HigherScoreWinsWhenTotalsAreBothZero) {
    // Negative sums are stored as 0: only then can the score decide.
    HiScore table = tableOf({HiScoreEntry("low", 10, 5, 50)});
    EXPECT_EQ(table.insert(HiScoreEntry("high", 10, 6, 50), false), 0);
    EXPECT_EQ(table.insert(HiScoreEntry("lowest", 10, 4, 50), false), 2);
}

TEST(HiScoreRanking, NewerEntryGoesAboveAnEqualOne) {
    HiScore table = tableOf({HiScoreEntry("older", 500, 500, 5), HiScoreEntry("x", 1, 1, 0)});
    EXPECT_EQ(table.insert(HiScoreEntry("newer", 500, 500, 5), false), 0);
    EXPECT_EQ(rows(table)[1], "older 500 500 5 950");
}

TEST(HiScoreRanking, EmptyTableRanksFirstAlsoWhenProbing) {
    HiScore table = tableOf({});
    EXPECT_EQ(table.insert(HiScoreEntry("probe", 0, 0, 99), true), 0);
    EXPECT_TRUE(table.entries.empty());
}

TEST(HiScoreRanking, FullTableRefusesWorseAndDropsTheEighth) {
    HiScore table;
    EXPECT_EQ(table.maxEntries, 10u);
    table.setMaxEntries(8);
    const auto defaults = rows(table);
    EXPECT_EQ(table.insert(HiScoreEntry("worse", 100, 100, 9), false), -1);
    const HiScoreEntry third("third", 1000, 2500, 0); // 3500: between 3580 and 3170
    EXPECT_EQ(table.insert(third, true), 2);
    EXPECT_EQ(rows(table), defaults);
    EXPECT_EQ(table.insert(third, false), 2);
    EXPECT_EQ(table.entries.size(), 8u);
    EXPECT_EQ(rows(table)[2], "third 2500 1000 0 3500");
    EXPECT_EQ(rows(table).back(), defaults[6]); // ".Joss." is gone
    table.setMaxEntries(2);
    EXPECT_EQ(rows(table), std::vector<std::string>(defaults.begin(), defaults.begin() + 2));
}

TEST(HiScoreRanking, TableWithRoomAppendsAWorseEntry) {
    HiScore table = tableOf({HiScoreEntry("a", 100, 100, 0), HiScoreEntry("b", 50, 50, 0)});
    EXPECT_EQ(table.insert(HiScoreEntry("last", 0, 0, 3), false), 2);
    EXPECT_EQ(table.entries.back().name, "last");
}

TEST(HiScoreEntryTotal, NeverNegativeNorOverflowing) {
    EXPECT_EQ(HiScoreEntry::computeTotal(50, 0, 9), 0);
    EXPECT_EQ(HiScoreEntry::computeTotal(INT_MAX, INT_MAX, 0), INT_MAX);
    EXPECT_EQ(HiScoreEntry::computeTotal(0, 0, INT_MIN), INT_MAX);
    EXPECT_EQ(HiScoreEntry::computeTotal(INT_MIN, INT_MIN, INT_MAX), 0);
}

TEST(HiScoreNames, LongNamesAreCutWithoutSplittingACharacter) {
    // 254 bytes, then a two-byte character across the limit: it goes whole.
    EXPECT_EQ(HiScoreEntry::boundName(std::string(254, 'b') + "\xC3\xA9!"), std::string(254, 'b'));
    EXPECT_EQ(HiScoreEntry::boundName(std::string("ab\0cd", 5)), "ab");
    HiScore table = tableOf({HiScoreEntry(std::string(5000, 'a'), 1, 1, 0)});
    EXPECT_EQ(table.entries.front().name, std::string(HiScoreEntry::maxNameBytes, 'a'));
}
