// Feeds arbitrary bytes to HiScore::load as "hiscore.xml", the way the game meets the file at
// start, and holds the result to what the game relies on: load returns (no crash, no hang, no
// sanitizer report), a refused file is moved to ".bad", and a table that loads saves to a
// file that loads again into the same table. Built and run by fuzz/run.sh.

#include "hiscore/HiScore.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string folder; // one per fuzzing process, so parallel jobs never share a file

// Entries equal in all four numbers come back in reverse order (a later insert goes above
// an equal one), so only their order by the ranking keys must match, and the whole rows as a set.
bool sameTable(const HiScore& a, const HiScore& b) {
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

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (std::filesystem::temp_directory_path() / "dravolt-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    folder = pattern;
    std::atexit([] { std::filesystem::remove_all(folder); });
    std::cout.rdbuf(nullptr); // the table's console messages would drown the fuzzer's own
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = folder + "/hiscore.xml";
    std::filesystem::remove(path + ".bad");
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();

    HiScore table;
    table.setMaxEntries(8);
    if (!table.load(path)) {
        // Refused: either the file was moved aside, or it was a readable file without a table.
        if (!table.entries.empty())
            std::abort();
        return 0;
    }
    if (table.entries.size() > 8 || !table.save(path))
        std::abort();
    HiScore again;
    again.setMaxEntries(8);
    if (!again.load(path) || !sameTable(table, again))
        std::abort();
    return 0;
}
