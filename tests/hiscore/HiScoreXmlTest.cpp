#include "hiscore/HiScoreXml.hpp"

#include "HiScoreTestSupport.hpp"

#include <gtest/gtest.h>
#include <sstream>

namespace {

struct Read {
    HiScore table;
    HiScoreXml::Found found = HiScoreXml::Found::Damaged;
    std::string reason;
    std::string out; // the console
};

Read read(const std::string& bytes, std::size_t size = 8) {
    Read result;
    result.table.setMaxEntries(size);
    std::ostringstream console;
    result.found = HiScoreXml::read(bytes, result.table, console, result.reason);
    result.out = console.str();
    return result;
}

} // namespace

// Items without "player" are skipped silently, a "player" lacking a key (or not a map at all)
// with the first missing key; keys the table does not use are ignored, wherever they stand.
TEST(HiScoreXmlRead, ItemsOfOtherShapesAreSkippedAndExtraKeysIgnored) {
    const std::string items =
        item("a", "1", "2", "3") + "<_><player><name>x</name><length>1</length></player></_>\n" +
        "<_><player><score>1</score></player></_>\n<_></_>\n<_>5</_>\n" +
        "<_><foo>1</foo><bar><name>y</name></bar></_>\n<_><player>5</player></_>\n" +
        "<_><player><name>x</name><score>1</score><length>1</length></player></_>\n" +
        "<_><player><hits>1</hits><total>99</total><length>1</length><score>1</score>"
        "<name>b</name><Team_2>x</Team_2></player><foo>2</foo></_>\n";
    const Read loaded = read(tableFile(items));
    EXPECT_EQ(loaded.out, "score is missing\nname is missing\nname is missing\nhits is missing\n");
    EXPECT_EQ(rows(loaded.table), (std::vector<std::string>{"b 1 1 1 0", "a 1 2 3 0"}));
}

// The library's reader would wrap a number beyond 32 bits and take "010" for octal: the game
// holds it at the nearest end, reads it in decimal, and takes anything else for 0.
TEST(HiScoreXmlRead, NumbersAreDecimalIntegersHeldWithinThirtyTwoBits) {
    // Each text and what it reads as.
    const char* const texts[] = {
        "010",         "+7",          " 42 ", "2147483647", "2147483648", "99999999999999999999",
        "-2147483648", "-2147483649", "1.5",  "0x10",       "abc",        "-"};
    const int values[] = {10, 7, 42, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) {
        const Read loaded = read(tableFile(item("a", texts[i], "1", "0")));
        ASSERT_EQ(loaded.table.entries().size(), 1u) << texts[i];
        EXPECT_EQ(loaded.table.entries().front().score, values[i]) << texts[i];
    }
    // The length and the hits alike; the total is held at the largest int too.
    EXPECT_EQ(rows(read(tableFile(item("a", "2147483647", "0200", "010"))).table),
              (std::vector<std::string>{"a 2147483647 200 10 2147483647"}));
}

TEST(HiScoreXmlCheck, RefusesAnythingShapedOtherwiseAndOwnFileCutAnywhere) {
    const std::string value = "<hiscore></hiscore>\n";
    std::vector<std::string> cases = {
        std::string("%YAML:1.0\nhiscore: []\n"),
        head + value + std::string(HiScoreXml::maxFileSize, ' ') + tail,
        tableFile(item(std::string("a\0b", 3), "1", "1", "1")),
        tableFile("5" + item("a", "1", "1", "1")),
        head + "<hiscore type_id=\"opencv-matrix\"></hiscore>" + tail,
        tableFile("<_><player><_>1</_></player></_>"),
        tableFile("<_><player><name><x>1</x></name></player></_>"),
        tableFile("<_><player>5<name>a</name></player></_>"),
        tableFile("<_><player><name>a</name>5</player></_>"),
        tableFile("<_><player><2x>1</2x></player></_>"),
        head + "<hiscore></_></hiscore>" + tail,
        head + value + tail + value,
        // Declarations the game does not write nor take, and comments that are not comments.
        "<?xml version=\"1.1\"?>\n<opencv_storage>\n" + value + tail,
        "<?xml version=\"1.0\" encoding=\"latin1\"?>\n<opencv_storage>\n" + value + tail,
        "<?xmlversion=\"1.0\"?>\n<opencv_storage>\n" + value + tail,
        "<?xml version=\"1.0\" standalone=\"maybe\"?>\n<opencv_storage>\n" + value + tail,
        "<?xml version=\"1.0\" standalone=\"yes\" encoding=\"UTF-8\"?>\n<opencv_storage>\n" +
            value + tail,
        " \xEF\xBB\xBF" + head + value + tail,
        head + "<!-- never closed\n" + value + tail,
        head + "<hiscore<!-- in a tag -->>\n</hiscore>" + tail,
    };
    // What a crash during a save could have left if saves wrote in place.
    const std::string whole = HiScoreXml::write(HiScore()).value();
    for (std::size_t size = 0; size <= whole.rfind('>'); ++size)
        cases.push_back(whole.substr(0, size));
    for (const std::string& bytes : cases)
        EXPECT_FALSE(HiScoreXml::check(bytes).ok()) << bytes;
}

// A file edited by hand, or by another program, may declare its encoding and that it stands
// alone, begin with a byte-order mark, space its declaration and carry comments; the reader
// still sees the library's own document.
TEST(HiScoreXmlCheck, TakesADeclaredEncodingSpacesAndComments) {
    const std::string items = item("a", "1", "2", "3") + item("b", "4", "5", "6");
    const std::string body = "<opencv_storage>\n<hiscore>\n" + items + "</hiscore>\n" + tail;
    for (const std::string declaration :
         {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<?xml version=\"1.0\" ?>",
          "<?xml  version=\"1.0\"\n encoding=\"utf-8\" ?>",
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
          "<?xml version=\"1.0\" standalone=\"no\" ?>", "\xEF\xBB\xBF<?xml version=\"1.0\"?>"}) {
        EXPECT_EQ(rows(read(declaration + "\n" + body).table), rows(read(tableFile(items)).table))
            << declaration;
    }
    const std::string commented = head + "<!-- scores -->\n<hiscore><!---->\n" +
                                  item("a", "1", "2", "3") +
                                  "<_><!-- two\nlines --><player><name>\"b\"</name><score>4"
                                  "</score><length>5</length><!-- < > --><hits>6</hits></player>"
                                  "</_>\n</hiscore>\n" +
                                  tail + "<!-- end -->\n";
    EXPECT_EQ(rows(read(commented).table), rows(read(tableFile(items)).table));
    // A refusal names the byte of the file, comments counted.
    const std::string bad = head + "<!-- 12345 -->\n<hiscore>x</hiscore>" + tail;
    EXPECT_EQ(read(bad).reason,
              "text outside a value at byte " + std::to_string(bad.find(">x<") + 1));
}

TEST(HiScoreXmlWrite, RoundTripKeepsEveryNameAndNumber) {
    // Names the writer treats specially: quotes, entities, structure tokens, spaces, numbers,
    // special reals, UTF-8, control characters (one a line), and one beyond the bound.
    std::vector<std::string> names;
    std::istringstream list(
        "two words\n\"quoted\" 'too'\n<b>&amp;</b>\n[bracket\n{brace\n]\n}x\n"
        "\\[back\n\n   \n lead\ntrail \ncaf\xC3\xA9 \xE2\x82\xAC\n123\n-4.5e6\n"
        ".Orlan.\n.5x\ntab\there\x01\n\"\n\"quoted\"\n\"\"\n\"<3\"\n\"a&b\"x\"\n");
    for (std::string name; std::getline(list, name);)
        names.push_back(name);
    names.push_back(std::string(5000, '<')); // escaped to 4 bytes a character
    HiScore table;
    table.clear();
    table.setMaxEntries(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        table.insert(HiScoreEntry(names[i], 100 * int(i), 7 - int(i), int(i) % 3), false);
    const OrRefusal<std::string> written = HiScoreXml::write(table);
    ASSERT_TRUE(written.ok()) << written.refusal().why();
    const Read loaded = read(written.value(), names.size());
    EXPECT_EQ(loaded.found, HiScoreXml::Found::Table) << loaded.reason;
    EXPECT_EQ(rows(loaded.table), rows(table));
}
