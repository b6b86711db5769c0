#include "HiScoreTestSupport.hpp"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<std::string> rows(const HiScore& table) {
    std::vector<std::string> result;
    for (const HiScoreEntry& e : table.entries)
        result.push_back(e.name + " " + std::to_string(e.score) + " " + std::to_string(e.length) +
                         " " + std::to_string(e.hits) + " " + std::to_string(e.total));
    return result;
}

} // namespace

TEST(HiScoreLoad, DefaultsInReverseOrderComeOutInTableOrder) {
    TempFolder folder;
    const HiScore defaults;
    std::string players;
    for (auto e = defaults.entries.rbegin(); e != defaults.entries.rend(); ++e)
        players += player(e->name, std::to_string(e->score), std::to_string(e->length),
                          std::to_string(e->hits));
    writeFile(folder.file("hiscore.xml"), tableFile(players));
    HiScore table;
    table.setMaxEntries(8);
    ASSERT_TRUE(table.load(folder.file("hiscore.xml")));
    EXPECT_EQ(rows(table), rows(defaults));
}

TEST(HiScoreLoad, TwelveEntriesKeepTheBestEight) {
    TempFolder folder;
    std::string players;
    for (int i = 1; i <= 12; ++i) // scores 100 .. 1200 in file order
        players += player("p" + std::to_string(i), std::to_string(i * 100), "0", "0");
    writeFile(folder.file("hiscore.xml"), tableFile(players));
    HiScore table;
    table.setMaxEntries(8);
    ASSERT_TRUE(table.load(folder.file("hiscore.xml")));
    ASSERT_EQ(table.entries.size(), 8u);
    EXPECT_EQ(table.entries.front().name, "p12");
    EXPECT_EQ(table.entries.back().name, "p5");
}

TEST(HiScoreLoad, IncompleteElementsAreSkippedWithTheFirstMissingKey) {
    TempFolder folder;
    const std::string players =
        player("a", "1", "2", "3") +
        "<_><player><name>no score</name><length>1</length></player></_>\n" +
        "<_><player><score>1</score></player></_>\n" +
        "<_><player><name>x</name><score>1</score><length>1</length></player></_>\n" +
        "<_><player><hits>1</hits><length>1</length><score>1</score><name>b</name></player></_>\n" +
        "<_></_>\n";
    writeFile(folder.file("hiscore.xml"), tableFile(players));
    HiScore table;
    CoutCapture out;
    ASSERT_TRUE(table.load(folder.file("hiscore.xml")));
    EXPECT_EQ(out.text(), "score is missing\nname is missing\nhits is missing\n");
    EXPECT_EQ(rows(table), (std::vector<std::string>{"b 1 1 1 0", "a 1 2 3 0"}));
}

TEST(HiScoreLoad, NumbersAreIntegersWithinThirtyTwoBits) {
    TempFolder folder;
    const std::string players = player("neg", "0", "50", "9") + // total 0
                                player("big", "99999999999999999999", "4294967297", "-5") +
                                player("text", "abc", "1e300", "1.5") +
                                player("small", "-99999999999", " 010 ", "+7");
    writeFile(folder.file("hiscore.xml"), tableFile(players));
    HiScore table;
    ASSERT_TRUE(table.load(folder.file("hiscore.xml")));
    // Three totals of 0: the fewer hits go first.
    EXPECT_EQ(rows(table),
              (std::vector<std::string>{"big 2147483647 2147483647 -5 2147483647", "text 0 0 0 0",
                                        "small -2147483648 10 7 0", "neg 0 50 9 0"}));
}

TEST(HiScoreLoad, MissingFileGivesTheUsualMessageOnly) {
    TempFolder folder;
    HiScore table;
    CoutCapture out;
    EXPECT_FALSE(table.load(folder.file("hiscore.xml")));
    EXPECT_EQ(out.text(), "Hiscore node is not SEQ.\n");
    EXPECT_TRUE(table.entries.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.file("hiscore.xml.bad")));
}

TEST(HiScoreLoad, WellFormedFileWithoutATableIsLeftInPlace) {
    TempFolder folder;
    const std::string bytes = "<?xml version=\"1.0\"?>\n<opencv_storage>\n</opencv_storage>\n";
    writeFile(folder.file("hiscore.xml"), bytes);
    HiScore table;
    CoutCapture out;
    EXPECT_FALSE(table.load(folder.file("hiscore.xml")));
    EXPECT_EQ(out.text(), "Hiscore node is not SEQ.\n");
    EXPECT_EQ(readFile(folder.file("hiscore.xml")), bytes);
}

TEST(HiScoreLoad, FolderInPlaceOfTheFileIsNotRead) {
    TempFolder folder;
    std::filesystem::create_directory(folder.file("hiscore.xml"));
    HiScore table;
    CoutCapture out;
    EXPECT_FALSE(table.load(folder.file("hiscore.xml")));
    EXPECT_NE(out.text().find("Can't read '" + folder.file("hiscore.xml") + "'"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("hiscore.xml")));
}

// Each of these made the library's reader crash, abort or hang; a hang would time the test out.
TEST(HiScoreDamagedFile, IsReportedAndKeptAsBad) {
    const std::vector<std::string> cases = {"F1_yaml_abort.xml", "F2_xml_segv.xml",
                                            "F3_yaml_hang.xml", "cut_at_14.xml",
                                            "nested_21500_unclosed.xml"};
    for (const std::string& name : cases) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const std::string path = folder.file("hiscore.xml");
        const std::string bytes = readFile(std::string(DRAVOLT_TEST_DATA) + "/hiscore/" + name);
        ASSERT_FALSE(bytes.empty());
        writeFile(path, bytes);
        writeFile(path + ".bad", "an older damaged file");
        HiScore table;
        CoutCapture out;
        EXPECT_FALSE(table.load(path));
        EXPECT_TRUE(table.entries.empty());
        EXPECT_EQ(out.text().rfind("'" + path + "' is damaged: ", 0), 0u) << out.text();
        EXPECT_NE(out.text().find("Moved it to '" + path + ".bad'.\n"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(readFile(path + ".bad"), bytes);
    }
}

TEST(HiScoreDamagedFile, OwnFileCutAnywhereNeverLoads) {
    // What a crash during a save could have left with a save that writes in place.
    TempFolder folder;
    const std::string path = folder.file("hiscore.xml");
    ASSERT_TRUE(HiScore().save(path));
    const std::string whole = readFile(path);
    const std::size_t end = whole.rfind('>') + 1;
    for (std::size_t size = 0; size < end; ++size) {
        writeFile(path, whole.substr(0, size));
        HiScore table;
        CoutCapture out;
        ASSERT_FALSE(table.load(path)) << "cut at " << size;
        ASSERT_TRUE(std::filesystem::exists(path + ".bad"));
    }
}

// Files the fuzzer found: each either is refused and kept as ".bad", or loads into a table
// that saves and loads again unchanged.
TEST(HiScoreFuzzFound, LoadOrAreRefusedCleanly) {
    for (const auto& found : std::filesystem::directory_iterator(DRAVOLT_TEST_DATA "/hiscore")) {
        if (found.path().filename().string().rfind("fuzz_", 0) != 0)
            continue;
        SCOPED_TRACE(found.path().filename().string());
        TempFolder folder;
        const std::string path = folder.file("hiscore.xml");
        writeFile(path, readFile(found.path().string()));
        HiScore table;
        table.setMaxEntries(8);
        CoutCapture out;
        if (!table.load(path)) {
            EXPECT_TRUE(table.entries.empty());
            EXPECT_TRUE(std::filesystem::exists(path + ".bad") ||
                        out.text().find("Hiscore node is not SEQ.") != std::string::npos);
            continue;
        }
        ASSERT_TRUE(table.save(path));
        HiScore again;
        again.setMaxEntries(8);
        ASSERT_TRUE(again.load(path));
        // Entries equal in all four numbers come back in reverse order; compare as sets.
        std::vector<std::string> before = rows(table), after = rows(again);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
    }
}
