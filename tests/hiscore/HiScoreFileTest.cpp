#include "HiScoreTestSupport.hpp"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Loads `bytes` as "hiscore.xml" of a fresh folder into a table of eight; returns the console.
std::string load(const TempFolder& folder, const std::string& bytes, HiScore& table, bool& ok) {
    writeFile(folder.file("hiscore.xml"), bytes);
    table.setMaxEntries(8);
    CoutCapture out;
    ok = table.load(folder.file("hiscore.xml"));
    return out.text();
}

} // namespace

TEST(HiScoreLoad, FileOrderDoesNotMatterAndTheBestEightStay) {
    TempFolder folder;
    const HiScore defaults;
    std::string items;
    for (auto e = defaults.entries.rbegin(); e != defaults.entries.rend(); ++e)
        items += item(e->name, std::to_string(e->score), std::to_string(e->length),
                      std::to_string(e->hits));
    HiScore table;
    bool ok = false;
    load(folder, tableFile(items + item("worst", "1", "1", "0")), table, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(rows(table), rows(defaults));
    items.clear();
    for (int i = 1; i <= 12; ++i)
        items += item("p" + std::to_string(i), std::to_string(i * 100), "0", "0");
    load(folder, tableFile(items), table, ok);
    EXPECT_EQ(table.entries.size(), 8u);
    EXPECT_EQ(table.entries.front().name, "p12");
    EXPECT_EQ(table.entries.back().name, "p5");
}

TEST(HiScoreLoad, IncompleteElementsAreSkippedWithTheFirstMissingKey) {
    TempFolder folder;
    const std::string items =
        item("a", "1", "2", "3") + "<_><player><name>x</name><length>1</length></player></_>\n" +
        "<_><player><score>1</score></player></_>\n<_></_>\n" +
        "<_><player><name>x</name><score>1</score><length>1</length></player></_>\n" +
        "<_><player><hits>1</hits><length>1</length><score>1</score><name>b</name></player></_>\n";
    HiScore table;
    bool ok = false;
    EXPECT_EQ(load(folder, tableFile(items), table, ok),
              "score is missing\nname is missing\nhits is missing\n");
    EXPECT_EQ(rows(table), (std::vector<std::string>{"b 1 1 1 0", "a 1 2 3 0"}));
}

TEST(HiScoreLoad, NumbersAreIntegersWithinThirtyTwoBits) {
    TempFolder folder;
    const std::string items =
        item("neg", "0", "50", "9") + item("big", "99999999999999999999", "4294967297", "-5") +
        item("text", "abc", "1e300", "1.5") + item("small", "-99999999999", " 010 ", "+7");
    HiScore table;
    bool ok = false;
    load(folder, tableFile(items), table, ok);
    // Three totals of 0: the fewer hits go first.
    EXPECT_EQ(rows(table),
              (std::vector<std::string>{"big 2147483647 2147483647 -5 2147483647", "text 0 0 0 0",
                                        "small -2147483648 10 7 0", "neg 0 50 9 0"}));
}

TEST(HiScoreLoad, NoTableGivesTheUsualMessageAndKeepsTheFile) {
    TempFolder folder;
    const std::string path = folder.file("hiscore.xml");
    HiScore table;
    CoutCapture out;
    EXPECT_FALSE(table.load(path)); // missing
    const std::string noTable = "<?xml version=\"1.0\"?>\n<opencv_storage>\n</opencv_storage>\n";
    writeFile(path, noTable);
    EXPECT_FALSE(table.load(path));
    EXPECT_EQ(out.text(), "Hiscore node is not SEQ.\nHiscore node is not SEQ.\n");
    EXPECT_EQ(readFile(path), noTable);
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(table.load(path));
    EXPECT_NE(out.text().find("Can't read '" + path + "': "), std::string::npos);
    EXPECT_TRUE(table.entries.empty());
    EXPECT_FALSE(std::filesystem::exists(path + ".bad"));
}

// Each of these made the library's reader crash, abort or hang; a hang would time the test out.
TEST(HiScoreDamagedFile, IsReportedAndKeptAsBad) {
    for (const char* name : {"F1_yaml_abort.xml", "F2_xml_segv.xml", "F3_yaml_hang.xml",
                             "cut_at_14.xml", "nested_21500_unclosed.xml"}) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const std::string path = folder.file("hiscore.xml");
        const std::string bytes = readFile(std::string(DRAVOLT_TEST_DATA "/hiscore/") + name);
        writeFile(path + ".bad", "an older damaged file");
        HiScore table;
        bool ok = true;
        const std::string out = load(folder, bytes, table, ok);
        EXPECT_FALSE(ok);
        EXPECT_TRUE(table.entries.empty());
        EXPECT_EQ(out.rfind("'" + path + "' is damaged: ", 0), 0u) << out;
        EXPECT_NE(out.find("\nMoved it to '" + path + ".bad'.\n"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(readFile(path + ".bad"), bytes);
    }
}

TEST(HiScoreDamagedFile, LibraryErrorsAreCaughtAndReported) {
    TempFolder folder;
    HiScore table;
    bool ok = true;
    const std::string path = folder.file("hiscore.xml");
    EXPECT_EQ(load(folder, tableFile("<_><player><name>\"open</name></player></_>\n"), table, ok),
              "'" + path + "' is damaged: the library can't read it: (4): Closing \" is " +
                  "expected\nMoved it to '" + path + ".bad'.\n");
}

TEST(HiScoreDamagedFile, OwnFileCutAnywhereNeverLoads) {
    // What a crash during a save could have left if saves wrote in place.
    TempFolder folder;
    ASSERT_TRUE(HiScore().save(folder.file("whole.xml")));
    const std::string whole = readFile(folder.file("whole.xml"));
    for (std::size_t size = 0; size <= whole.rfind('>'); ++size) {
        HiScore table;
        bool ok = true;
        load(folder, whole.substr(0, size), table, ok);
        ASSERT_FALSE(ok) << "cut at " << size;
        ASSERT_TRUE(std::filesystem::exists(folder.file("hiscore.xml.bad")));
    }
}

// Files the fuzzer found: each is refused, or loads into a table that saves and loads again.
TEST(HiScoreDamagedFile, FuzzerFindsLoadOrAreRefusedCleanly) {
    for (const auto& found : std::filesystem::directory_iterator(DRAVOLT_TEST_DATA "/hiscore")) {
        if (found.path().filename().string().rfind("fuzz_", 0) != 0)
            continue;
        SCOPED_TRACE(found.path().filename().string());
        TempFolder folder;
        HiScore table, again;
        bool ok = false;
        load(folder, readFile(found.path().string()), table, ok);
        if (!ok) {
            EXPECT_TRUE(table.entries.empty());
            continue;
        }
        ASSERT_TRUE(table.save(folder.file("hiscore.xml")));
        load(folder, readFile(folder.file("hiscore.xml")), again, ok);
        ASSERT_TRUE(ok);
        // Entries equal in all four numbers come back in reverse order: compare as sets.
        std::vector<std::string> before = rows(table), after = rows(again);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
    }
}
