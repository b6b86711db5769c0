#include "HiScoreTestSupport.hpp"

#include <gtest/gtest.h>

TEST(HiScoreSave, RoundTripKeepsEveryNameAndNumber) {
    TempFolder folder;
    const std::string path = folder.file("hiscore.xml");
    // Names the writer treats specially: quotes, entities, structure tokens, spaces, numbers,
    // special reals, UTF-8, control characters; one per line.
    std::vector<std::string> names;
    std::istringstream list(
        "two words\n\"quoted\" 'too'\n<b>&amp;</b>\n[bracket\n{brace\n]\n}x\n"
        "\\[back\n\n   \n lead\ntrail \ncaf\xC3\xA9 \xE2\x82\xAC\n123\n-4.5e6\n"
        ".Orlan.\n.5x\ntab\there\x01\n\"\n\"quoted\"\n\"\"\n\"<3\"\n\"a&b\"x\"\n");
    for (std::string name; std::getline(list, name);)
        names.push_back(name);
    names.push_back(std::string(HiScoreEntry::maxNameBytes, '<')); // escaped to 4 bytes each
    HiScore table;
    table.clear();
    table.setMaxEntries(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        table.insert(HiScoreEntry(names[i], 100 * int(i), 7 - int(i), int(i) % 3), false);
    ASSERT_TRUE(table.save(path));
    EXPECT_FALSE(std::filesystem::exists(HiScore::tempFileName(path)));
    HiScore loaded;
    loaded.setMaxEntries(names.size());
    ASSERT_TRUE(loaded.load(path));
    EXPECT_EQ(rows(loaded), rows(table));

    table.clear(); // an empty table is written as an empty element
    ASSERT_TRUE(table.save(path));
    EXPECT_TRUE(loaded.load(path));
    EXPECT_TRUE(loaded.entries.empty());
}

TEST(HiScoreSave, FailureIsReportedAndChangesNothing) {
    TempFolder folder;
    const std::string path = folder.file("hiscore.xml");
    HiScore table;
    const auto before = rows(table);
    CoutCapture out;
    std::filesystem::create_directory(path); // root may write anywhere, but not over a folder
    EXPECT_FALSE(table.save(path));
    EXPECT_EQ(out.text().rfind("Can't save '" + path + "': ", 0), 0u) << out.text();
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_FALSE(std::filesystem::exists(HiScore::tempFileName(path)));
    EXPECT_EQ(rows(table), before);

    std::filesystem::remove(path);
    writeFile(path, "the old table");
    std::filesystem::create_directory(HiScore::tempFileName(path)); // no temporary file possible
    EXPECT_FALSE(table.save(path));
    EXPECT_EQ(readFile(path), "the old table");
    EXPECT_FALSE(table.save(folder.file("no such folder/hiscore.xml")));
    EXPECT_NE(out.text().find("Can't save '" + folder.file("no such folder/hiscore.xml") + "': "),
              std::string::npos);
}
