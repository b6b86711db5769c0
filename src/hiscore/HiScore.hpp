#pragma once
// The ranked table of results, best first, and its file "hiscore.xml".
//
// The file is the only data the game keeps between runs, so both directions are guarded:
// a damaged file is checked before the library's reader sees it and moved aside to
// "hiscore.xml.bad" (or ".bad.1", ".bad.2", ... when that is taken) instead of being
// overwritten, and a save goes to a temporary file that replaces the old one only once it is
// completely on disk. The player's own setup of the file is respected: a file without write
// permission, or one the game could not read at start, is never replaced, and a symbolic
// link is written through to its target.

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
    // console, kept in saveFailure, and leaves the old file as it was.
    bool save(const std::string& fileName);
    // Replaces the table by the file's entries; false when the file holds no usable table.
    // A damaged file is reported and moved to the first free name of fileName + ".bad",
    // ".bad.1", ".bad.2", ...
    bool load(const std::string& fileName);

    // Where save writes before it replaces fileName: same folder, and ending in ".xml",
    // which is what makes the library write XML.
    static std::string tempFileName(const std::string& fileName);

    std::list<HiScoreEntry> entries;
    std::size_t maxEntries = 10;
    // Why the last save failed, as reported after "Can't save '<file>': "; empty after a
    // save that worked and before the first.
    std::string saveFailure;
    // The console line of a failed save of fileName: "Can't save '<file>': " and saveFailure.
    std::string saveFailureLine(const std::string& fileName) const;

private:
    // Moves a damaged file aside; when that fails, save must not replace it either.
    void keepIfNotSetAside(const std::string& fileName, const std::string& damage);

    // A file that load found but could not read, or could not move aside: save never replaces
    // it. Empty when there is none.
    std::string keptFile;
    std::string keptReason;
};
