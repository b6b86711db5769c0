#pragma once
// What every high-score fuzz target holds the load path to: HiScore::load returns (no crash,
// no hang, no sanitizer report) on any bytes, leaves an empty table when it refuses them, and
// a table that loads saves to a file that loads again into the same table.

#include "hiscore/HiScore.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzzcheck {

inline std::string folder; // one per fuzzing process, so parallel jobs never share a file

inline void setUp() {
    std::string pattern = std::filesystem::temp_directory_path() / "dravolt-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort();
    folder = pattern;
    std::atexit([] { std::filesystem::remove_all(folder); });
    std::cout.rdbuf(nullptr); // the table's console messages would drown the fuzzer's own
}

// Entries equal in all four numbers come back in reverse order (a later insert goes above an
// equal one), so only the order of the ranking keys must match, and the whole rows as a set.
inline bool sameTable(const HiScore& a, const HiScore& b) {
    const auto rows = [](const HiScore& table, bool withNames) {
        std::vector<std::string> result;
        for (const HiScoreEntry& e : table.entries)
            result.push_back(std::to_string(e.total) + " " + std::to_string(e.hits) + " " +
                             std::to_string(e.length) + " " + std::to_string(e.score) +
                             (withNames ? " " + e.name : std::string()));
        return result;
    };
    std::vector<std::string> named = rows(a, true);
    std::vector<std::string> namedAgain = rows(b, true);
    std::sort(named.begin(), named.end());
    std::sort(namedAgain.begin(), namedAgain.end());
    return rows(a, false) == rows(b, false) && named == namedAgain;
}

inline void checkLoad(const std::string& bytes) {
    const std::string path = folder + "/hiscore.xml";
    std::filesystem::remove(path + ".bad");
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fclose(file) != 0)
        std::abort();

    HiScore table;
    table.setMaxEntries(8);
    if (!table.load(path)) {
        if (!table.entries.empty())
            std::abort();
        return;
    }
    if (table.entries.size() > 8 || !table.save(path))
        std::abort();
    HiScore again;
    again.setMaxEntries(8);
    if (!again.load(path) || !sameTable(table, again))
        std::abort();
}

} // namespace fuzzcheck
