#pragma once
// The ranked table of results, best first, and its file "hiscore.xml".

#include "hiscore/HiScoreEntry.hpp"

#include <cstddef>
#include <list>
#include <string>

class HiScore {
public:
    HiScore(); // maxEntries 10, then the built-in entries
    virtual ~HiScore() = default;

    void clear();
    // Sets the limit and drops entries from the end beyond it.
    void setMaxEntries(std::size_t n);
    // The 0-based rank the entry takes (or would take with probeOnly), -1 when it does not rank.
    int insert(const HiScoreEntry& entry, bool probeOnly);
    // Inserts the eight built-in entries.
    void loadDefaults();
    // Writes the whole table; true when the file was replaced. A failure is reported on the
    // console and leaves the old file as it was.
    bool save(const std::string& fileName) const;
    // Replaces the table by the file's entries; false when the file holds no usable table.
    bool load(const std::string& fileName);

    std::list<HiScoreEntry> entries;
    std::size_t maxEntries = 10;
};
