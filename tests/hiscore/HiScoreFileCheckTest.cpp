#include "HiScoreTestSupport.hpp"

#include "hiscore/HiScoreFileCheck.hpp"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

const std::string head = "<?xml version=\"1.0\"?>\n<opencv_storage>\n";
const std::string tail = "</opencv_storage>\n";

} // namespace

TEST(HiScoreFileCheck, PassesTheGamesOwnFile) {
    TempFolder folder;
    HiScore table;
    table.insert(HiScoreEntry("<&> \"[x\" \xC3\xA9", 1, 2, 3), false);
    ASSERT_TRUE(table.save(folder.file("hiscore.xml")));
    const std::string bytes = readFile(folder.file("hiscore.xml"));
    const HiScoreFileCheck check(bytes);
    EXPECT_TRUE(check.ok()) << check.reason();
    EXPECT_EQ(check.text(), bytes); // nothing to rewrite in a file the game wrote
}

TEST(HiScoreFileCheck, RefusesAnythingShapedOtherwise) {
    const std::string value = "<hiscore><_><player><name>a</name></player></_></hiscore>\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"too large", head + value + std::string(HiScoreFileCheck::maxFileSize, ' ') + tail},
        {"NUL byte", head + "<hiscore>\0</hiscore>" + tail},
        {"byte-order mark", "\xEF\xBB\xBF" + head + value + tail},
        {"YAML", "%YAML:1.0\nhiscore: []\n"},
        {"other declaration",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opencv_storage>" + tail},
        {"other root", "<?xml version=\"1.0\"?>\n<storage></storage>\n"},
        {"attribute", head + "<hiscore type_id=\"opencv-matrix\"></hiscore>" + tail},
        {"space in tag", head + "<hiscore ></hiscore>" + tail},
        {"unknown element",
         head + "<hiscore><_><player><rank>1</rank></player></_></hiscore>" + tail},
        {"element out of place", head + "<hiscore><player></player></hiscore>" + tail},
        {"too deep",
         head + "<hiscore><_><player><name><_>1</_></name></player></_></hiscore>" + tail},
        {"comment", head + "<!-- x -->" + value + tail},
        {"text outside a value", head + "<hiscore>5</hiscore>" + tail},
        {"mismatched close", head + "<hiscore><_></player></_></hiscore>" + tail},
        {"unclosed", head + "<hiscore><_>"},
        {"cut inside a tag", head + "<hisc"},
        {"after the document", head + value + tail + "<hiscore></hiscore>"},
    };
    for (const auto& [what, bytes] : cases) {
        const HiScoreFileCheck check(bytes);
        EXPECT_FALSE(check.ok()) << what;
        EXPECT_FALSE(check.reason().empty()) << what;
        EXPECT_TRUE(check.text().empty()) << what;
    }
}

TEST(HiScoreFileCheck, RewritesOnlyTheNumbers) {
    const auto entry = [](const std::string& score) {
        return head + "<hiscore><_><player><name>007</name><score>" + score +
               "</score></player></_></hiscore>\n" + tail;
    };
    EXPECT_EQ(HiScoreFileCheck(entry("42")).text(), entry("42"));
    EXPECT_EQ(HiScoreFileCheck(entry(" 0042 ")).text(), entry("42"));
    EXPECT_EQ(HiScoreFileCheck(entry("-2147483649")).text(), entry("-2147483648"));
    EXPECT_EQ(HiScoreFileCheck(entry("2147483648")).text(), entry("2147483647"));
    EXPECT_EQ(HiScoreFileCheck(entry("0x10")).text(), entry("0"));
    EXPECT_EQ(HiScoreFileCheck(entry("-")).text(), entry("0"));
    EXPECT_EQ(HiScoreFileCheck(entry("  ")).text(), entry("  "));
}
