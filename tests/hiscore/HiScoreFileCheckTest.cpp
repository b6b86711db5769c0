#include "HiScoreTestSupport.hpp"

#include "hiscore/HiScoreFileCheck.hpp"

#include <gtest/gtest.h>

namespace {

const std::string head = "<?xml version=\"1.0\"?>\n<opencv_storage>\n";
const std::string tail = "</opencv_storage>\n";

std::string inPlayer(const std::string& inner) {
    return head + "<hiscore><_><player>" + inner + "</player></_></hiscore>\n" + tail;
}

} // namespace

TEST(HiScoreFileCheck, RefusesAnythingShapedOtherwise) {
    const std::string value = "<hiscore></hiscore>\n";
    const std::vector<std::string> cases = {
        std::string(),
        head + value + std::string(HiScoreFileCheck::maxFileSize, ' ') + tail,
        head + std::string("<hiscore>\0</hiscore>", 20) + tail,
        "\xEF\xBB\xBF" + head + value + tail,
        std::string("%YAML:1.0\nhiscore: []\n"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opencv_storage>" + tail,
        "<?xml version=\"1.0\"?>\n<storage></storage>\n",
        head + "<hiscore type_id=\"opencv-matrix\"></hiscore>" + tail,
        head + "<hiscore ></hiscore>" + tail,
        inPlayer("<rank>1</rank>"),
        head + "<hiscore><player></player></hiscore>" + tail,
        inPlayer("<name><_>1</_></name>"),
        head + "<!-- x -->" + value + tail,
        head + "<hiscore>5</hiscore>" + tail,
        inPlayer("</_>"),
        head + "<hiscore><_>",
        head + "<hisc",
        head + value + value + tail,
        head + value + tail + value};
    for (const std::string& bytes : cases) {
        const HiScoreFileCheck check(bytes);
        EXPECT_FALSE(check.ok()) << bytes;
        EXPECT_FALSE(check.reason.empty());
        EXPECT_TRUE(check.text.empty());
    }
}
