#pragma once
// What every high-score fuzz target holds the load path to: HiScoreStore::load returns (no
// crash, no hang, no sanitizer report) on any bytes; bytes it refuses leave the built-in table
// (and a damaged file set aside), bytes it takes give the table HiScoreXml reads from them,
// and that table with a new record (saved, or not ranked where the table outranks it) saves
// to a file that loads again into the same table.

#include "hiscore/HiScoreStore.hpp"
#include "hiscore/HiScoreXml.hpp"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <unistd.h>

namespace fuzzcheck {

inline std::string folder; // one per fuzzing process, so parallel jobs never share a file

inline void setUp() {
    std::string pattern = std::filesystem::temp_directory_path() / "dravolt-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort();
    folder = pattern;
    std::atexit([] { std::filesystem::remove_all(folder); });
}

// The same rows in the same order: entries equal in all four numbers keep the order of the
// file, newest first.
inline bool sameTable(const HiScore& a, const HiScore& b) {
    return a.entries() == b.entries();
}

inline void checkLoad(const std::string& bytes) {
    const std::string path = folder + "/hiscore.xml";
    std::filesystem::remove(path + ".bad");
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fclose(file) != 0)
        std::abort();

    std::ostream quiet(nullptr); // the console
    HiScore read;
    read.setMaxEntries(HiScoreStore::tableSize);
    std::string reason;
    const HiScoreXml::Found found = HiScoreXml::read(bytes, read, quiet, reason);
    HiScoreStore store(path, nullptr, quiet);
    store.load();
    if (found != HiScoreXml::Found::Table) {
        HiScore builtIn;
        builtIn.setMaxEntries(HiScoreStore::tableSize);
        if (!sameTable(store.table(), builtIn) ||
            (found == HiScoreXml::Found::Damaged && !std::filesystem::exists(path + ".bad")))
            std::abort();
        return;
    }
    if (!sameTable(store.table(), read))
        std::abort();
    // The highest total; a table of such totals with longer distances still outranks it.
    const HiScoreEntry record("fuzz", 0, INT_MAX, 0);
    const bool ranks = read.insert(record, false) >= 0;
    if (store.save(record) !=
        (ranks ? HiScoreStore::SaveResult::Saved : HiScoreStore::SaveResult::NotRanked))
        std::abort();
    HiScoreStore again(path, nullptr, quiet);
    again.load();
    if (!sameTable(again.table(), read))
        std::abort();
}

} // namespace fuzzcheck
