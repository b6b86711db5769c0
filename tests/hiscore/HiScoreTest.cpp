#include "hiscore/HiScore.hpp"

#include "HiScoreTestSupport.hpp"

#include <gtest/gtest.h>
#include <iterator>
#include <tuple>

// Each rule is shown deciding against the rules after it; "new" must sit at the rank returned.
TEST(HiScoreRanking, TotalThenFewerHitsThenLengthThenScoreThenNewer) {
    using E = HiScoreEntry;
    const std::tuple<const char*, std::vector<E>, E, int> cases[] = {
        {"higher total", {E("a", 500, 500, 0)}, E("new", 450, 600, 1), 0},
        {"lower total", {E("a", 500, 500, 0)}, E("new", 550, 390, 0), 1},
        {"fewer hits", {E("a", 1000, 1100, 10)}, E("new", 1000, 1010, 1), 0},
        {"more hits", {E("a", 1000, 1010, 1)}, E("new", 1000, 1100, 10), 1},
        {"longer", {E("a", 900, 100, 2)}, E("new", 901, 99, 2), 0},
        {"shorter", {E("a", 900, 100, 2)}, E("new", 100, 900, 2), 1},
        // Negative sums count as 0: only then can the score decide.
        {"higher score", {E("a", 10, 5, 50)}, E("new", 10, 6, 50), 0},
        {"lower score", {E("a", 10, 5, 50)}, E("new", 10, 4, 50), 1},
        {"newer on a tie", {E("a", 500, 500, 5), E("b", 1, 1, 0)}, E("new", 500, 500, 5), 0},
    };
    for (const auto& [rule, stored, entry, rank] : cases) {
        HiScore table;
        table.clear();
        for (const E& e : stored)
            table.insert(e, false);
        EXPECT_EQ(table.insert(entry, false), rank) << rule;
        EXPECT_EQ(std::next(table.entries().begin(), rank)->name, "new") << rule;
    }
}

// {stored: the first of the built-in entries, under a limit of 8; the result; its rank; the
// entries after the insert, and the last of them}. A full table refuses a worse result, one
// with room takes it at the end, a result that ranks pushes the last entry out. probeOnly
// only tells the rank.
TEST(HiScoreTable, AResultRanksWithinTheLimitAndOnlyAnInsertChangesTheTable) {
    const HiScoreEntry worse("worse", 100, 100, 9), third("third", 1000, 2500, 0);
    const std::tuple<std::size_t, HiScoreEntry, int, std::size_t, std::string> cases[] = {
        {8, worse, -1, 8, ".Joss."},
        {0, worse, 0, 1, "worse"},
        {2, worse, 2, 3, "worse"},
        {8, third, 2, 8, ".Orlan."}};
    for (const auto& [stored, entry, rank, size, last] : cases) {
        HiScore table;
        table.setMaxEntries(stored);
        table.setMaxEntries(8);
        const HiScore before = table;
        EXPECT_EQ(table.insert(entry, true), rank) << stored << " " << entry.name;
        EXPECT_TRUE(table == before) << stored << " " << entry.name;
        EXPECT_EQ(table.insert(entry, false), rank) << stored << " " << entry.name;
        EXPECT_EQ(table.entries().size(), size) << stored << " " << entry.name;
        EXPECT_EQ(table.entries().back().name, last) << stored << " " << entry.name;
        EXPECT_TRUE(rank < 0 || std::next(table.entries().begin(), rank)->name == entry.name);
    }
}

TEST(HiScoreName, ALongNameIsCutBeforeACharacterThatWouldNotFitWhole) {
    EXPECT_EQ(HiScoreEntry::boundName(std::string(254, 'b') + "\xC3\xA9!"), std::string(254, 'b'));
    EXPECT_EQ(HiScoreEntry::boundName(std::string(255, 'b')).size(), 255u);
}
