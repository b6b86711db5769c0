#include "HiScoreTestSupport.hpp"

#include <gtest/gtest.h>
#include <vector>

TEST(HiScoreSave, RoundTripKeepsEveryNameAndNumber) {
    TempFolder folder;
    const std::string path = folder.file("hiscore.xml");
    const std::vector<std::string> awkward = {"two words",
                                              "\"quoted\" 'too'",
                                              "<b>&amp;</b>",
                                              "[bracket",
                                              "{brace",
                                              "]",
                                              "}x",
                                              "\\[back",
                                              "",
                                              "   ",
                                              " lead",
                                              "trail ",
                                              "caf\xC3\xA9 \xE2\x82\xAC",
                                              "123",
                                              "-4.5e6",
                                              "tab\there",
                                              ".Orlan.",
                                              ".5x",
                                              "&lt;",
                                              std::string(300, 'L')};
    HiScore table;
    table.clear();
    table.setMaxEntries(awkward.size());
    for (std::size_t i = 0; i < awkward.size(); ++i)
        table.insert(HiScoreEntry(awkward[i], 100 * int(i), 7 - int(i), int(i) % 3), false);
    ASSERT_TRUE(table.save(path));
    EXPECT_FALSE(std::filesystem::exists(HiScore::tempFileName(path)));

    HiScore loaded;
    loaded.setMaxEntries(awkward.size());
    ASSERT_TRUE(loaded.load(path));
    ASSERT_EQ(loaded.entries.size(), table.entries.size());
    auto original = table.entries.begin();
    for (const HiScoreEntry& entry : loaded.entries) {
        EXPECT_EQ(entry.name, original->name);
        EXPECT_EQ(entry.score, original->score);
        EXPECT_EQ(entry.length, original->length);
        EXPECT_EQ(entry.hits, original->hits);
        EXPECT_EQ(entry.total, original->total);
        ++original;
    }
    EXPECT_EQ(table.entries.front().name, std::string(HiScoreEntry::maxNameBytes, 'L'));
}

TEST(HiScoreSave, TemporaryFileSitsBesideAndEndsInXml) {
    EXPECT_EQ(HiScore::tempFileName("hiscore.xml"), "hiscore.tmp.xml");
    EXPECT_EQ(HiScore::tempFileName("dir/scores"), "dir/scores.tmp.xml");
}

TEST(HiScoreSave, FolderInTheWayIsReportedAndTheTableKept) {
    TempFolder folder;
    const std::string path = folder.file("hiscore.xml");
    std::filesystem::create_directory(path);
    HiScore table;
    const std::size_t count = table.entries.size();
    CoutCapture out;
    EXPECT_FALSE(table.save(path));
    EXPECT_EQ(out.text().rfind("Can't save '" + path + "': ", 0), 0u) << out.text();
    EXPECT_EQ(table.entries.size(), count);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_FALSE(std::filesystem::exists(HiScore::tempFileName(path)));
}

TEST(HiScoreSave, FailedWriteLeavesTheOldFileAsItWas) {
    TempFolder folder;
    const std::string path = folder.file("hiscore.xml");
    writeFile(path, "the old table");
    std::filesystem::create_directory(HiScore::tempFileName(path)); // the temporary can't be made
    CoutCapture out;
    EXPECT_FALSE(HiScore().save(path));
    EXPECT_EQ(readFile(path), "the old table");
    EXPECT_FALSE(HiScore().save(folder.file("no such folder/hiscore.xml")));
    EXPECT_EQ(out.text().find("Can't save"), 0u);
    EXPECT_NE(out.text().find("Can't save '" + folder.file("no such folder/hiscore.xml") + "': "),
              std::string::npos);
}

TEST(HiScoreSave, EmptyTableLoadsAsEmpty) {
    TempFolder folder;
    HiScore table;
    table.clear();
    ASSERT_TRUE(table.save(folder.file("hiscore.xml")));
    HiScore loaded;
    EXPECT_TRUE(loaded.load(folder.file("hiscore.xml")));
    EXPECT_TRUE(loaded.entries.empty());
}
