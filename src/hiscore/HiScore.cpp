#include "hiscore/HiScore.hpp"

#include <iterator>

HiScore::HiScore() {
    loadDefaults();
}

bool HiScore::operator==(const HiScore& other) const {
    return m_maxEntries == other.m_maxEntries && m_entries == other.m_entries;
}

void HiScore::clear() {
    m_entries.clear();
}

void HiScore::setMaxEntries(std::size_t n) {
    m_maxEntries = n;
    while (m_entries.size() > m_maxEntries)
        m_entries.pop_back();
}

namespace {

// True when the new entry takes the place of the stored one: a higher total, then fewer
// hits, then a longer distance, then a higher score; on a full tie the newer entry goes first,
// unless it is older (read from a file after the stored one).
bool ranksAbove(const HiScoreEntry& entry, const HiScoreEntry& stored, bool newer = true) {
    if (entry.total != stored.total)
        return entry.total > stored.total;
    if (entry.hits != stored.hits)
        return entry.hits < stored.hits;
    if (entry.length != stored.length)
        return entry.length > stored.length;
    return newer ? entry.score >= stored.score : entry.score > stored.score;
}

HiScoreEntry bounded(const HiScoreEntry& entry) {
    HiScoreEntry copy = entry;
    copy.name = HiScoreEntry::boundName(entry.name);
    return copy;
}

} // namespace

int HiScore::rankAs(const HiScoreEntry& entry, bool newer) const {
    if (m_entries.empty())
        return 0;
    int rank = 0;
    auto place = m_entries.begin();
    while (place != m_entries.end() && !ranksAbove(entry, *place, newer)) {
        ++place;
        ++rank;
    }
    if (place == m_entries.end() && m_entries.size() >= m_maxEntries)
        return -1;
    return rank;
}

int HiScore::rank(const HiScoreEntry& entry) const {
    return rankAs(entry, true);
}

int HiScore::insertAt(const HiScoreEntry& entry, int place) {
    // Also without an insert: the limit may have been lowered.
    if (place >= 0)
        m_entries.insert(std::next(m_entries.begin(), place), bounded(entry));
    if (m_entries.size() > m_maxEntries)
        m_entries.pop_back();
    return place;
}

int HiScore::insert(const HiScoreEntry& entry, bool probeOnly) {
    const int place = rank(entry);
    insertAt(entry, probeOnly ? -1 : place);
    return place;
}

int HiScore::insertFromFile(const HiScoreEntry& entry) {
    return insertAt(entry, rankAs(entry, false));
}

void HiScore::loadDefaults() {
    insert(HiScoreEntry(".Orlan.", 1500, 2500, 1), false);
    insert(HiScoreEntry(".Tavio.", 1300, 2300, 2), false);
    insert(HiScoreEntry(".Pelkin.", 1100, 2100, 3), false);
    insert(HiScoreEntry(".Nudo.", 900, 1900, 4), false);
    insert(HiScoreEntry(".Ardis.", 800, 1700, 5), false);
    insert(HiScoreEntry(".Wendal.", 700, 1500, 6), false);
    insert(HiScoreEntry(".Orlan.", 600, 1300, 7), false);
    insert(HiScoreEntry(".Joss.", 500, 1100, 8), false);
}
