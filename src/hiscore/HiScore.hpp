#pragma once
// The ranked table of results, best first: where a new result ranks, or that it does not, and
// the eight built-in entries for a game without a file. A plain value; the file is the
// business of HiScoreStore.

#include "hiscore/HiScoreEntry.hpp"

#include <cstddef>
#include <list>

class HiScore {
public:
    HiScore(); // maxEntries 10, then the built-in entries
    virtual ~HiScore() = default;
    HiScore(const HiScore&) = default;
    HiScore& operator=(const HiScore&) = default;

    void clear();
    // Sets the limit and drops entries from the end beyond it.
    void setMaxEntries(std::size_t n);
    // The 0-based rank the entry takes (or would take with probeOnly), -1 when it does not rank.
    // The table keeps the name bounded to HiScoreEntry::maxNameBytes.
    int insert(const HiScoreEntry& entry, bool probeOnly);
    // The rank insert would give the entry, without changing the table.
    int rank(const HiScoreEntry& entry) const;
    // Inserts an entry read from a file, which lists the newer of two equal entries first:
    // below the entries equal to it, so that a table loads in the order it was saved. The
    // rank it takes, or -1.
    int insertFromFile(const HiScoreEntry& entry);
    // Inserts the eight built-in entries.
    void loadDefaults();

    // The same entries in the same order, and the same limit.
    bool operator==(const HiScore& other) const;

    // Best first; at most maxEntries() of them.
    const std::list<HiScoreEntry>& entries() const { return m_entries; }
    std::size_t maxEntries() const { return m_maxEntries; }

private:
    // The rank of an entry newer (or older) than the equal ones stored.
    int rankAs(const HiScoreEntry& entry, bool newer) const;
    // Puts the entry at the place (none for -1) and keeps the table within maxEntries.
    int insertAt(const HiScoreEntry& entry, int place);

    std::list<HiScoreEntry> m_entries;
    std::size_t m_maxEntries = 10;
};
