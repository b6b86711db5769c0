#pragma once
// The ranked table of results, best first, and its file "hiscore.xml".
//
// The file is the only data the game keeps between runs, so both directions are guarded:
// a damaged file is checked before the library's reader sees it and moved aside to
// "hiscore.xml.bad" instead of being overwritten, and a save goes to a temporary file that
// replaces the old one only once it is completely on disk.

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
    // The table keeps the name bounded to HiScoreEntry::maxNameBytes.
    int insert(const HiScoreEntry& entry, bool probeOnly);
    // Inserts the eight built-in entries.
    void loadDefaults();
    // Writes the whole table; true when the file was replaced. A failure is reported on the
    // console and leaves the old file as it was.
    bool save(const std::string& fileName) const;
    // Replaces the table by the file's entries; false when the file holds no usable table.
    // A damaged file is reported and moved to fileName + ".bad".
    bool load(const std::string& fileName);

    // Where save writes before it replaces fileName: same folder, and ending in ".xml",
    // which is what makes the library write XML.
    static std::string tempFileName(const std::string& fileName);

    std::list<HiScoreEntry> entries;
    std::size_t maxEntries = 10;
    // Why the last save failed, as the console line gives it after "Can't save '<file>': ";
    // empty after a save that succeeded.
    mutable std::string saveFailure;
};
