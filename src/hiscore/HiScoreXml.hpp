#pragma once
// The table as the file "hiscore.xml" holds it: the library's XML storage document, read and
// written through the library (cv::FileStorage), and the check of the bytes that comes first.
//
// The library's reader crashes, aborts or loops forever on some damaged files (a file cut
// short by a crash during a save is one of them), so only documents shaped like the game's own
// file reach it: at most 64 KiB, no NUL byte, an XML declaration of version 1.0 (with or
// without encoding="UTF-8" and standalone="yes" or "no", after a byte-order mark or not),
// the library's root, the table's element and its items, holding plain keys at most two
// levels deep (text or elements, not both), without attributes, all properly closed; XML
// comments may stand anywhere outside a tag. The reader is then given the document in the
// library's own words: the declaration as the library writes it, no comments,
// and numbers it cannot misread: a plain integer in decimal, clamped to 32 bits (the reader
// would wrap it, and would take "010" for octal), and any other text in "score", "length" or
// "hits" as 0.

#include "files/OrRefusal.hpp"
#include "hiscore/HiScore.hpp"

#include <cstddef>
#include <ostream>
#include <string>

class HiScoreXml {
public:
    // Far above any real table (eight entries take about 1 KiB, a few KiB with the longest
    // names), far below what could exhaust anything.
    static constexpr std::size_t maxFileSize = 64 * 1024;

    // The document as the library's reader is to see it, or why the bytes were refused.
    static OrRefusal<std::string> check(const std::string& bytes);

    enum class Found {
        Table,   // a table, possibly empty
        NoTable, // a well-formed document without the table
        Damaged  // refused by the check or by the library's reader; see `reason`
    };
    // Replaces the entries of `table` by those of the file's bytes, ranked, at most its
    // maxEntries. An item that is not a "player" is skipped, a "player" lacking a key with
    // that key's message on the console. Damaged leaves the table empty.
    static Found read(const std::string& bytes, HiScore& table, std::ostream& console,
                      std::string& reason);

    // The whole table as the library writes it, checked to load again into the same entries;
    // refused when the library refuses something.
    static OrRefusal<std::string> write(const HiScore& table);
};
