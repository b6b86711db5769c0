#pragma once
// One finished run: the player's name, distance in metres, score and collisions, and the
// ranking value derived from them (never stored in the file).

#include <cstddef>
#include <opencv2/core/persistence.hpp>
#include <ostream>
#include <string>

class HiScoreEntry {
public:
    HiScoreEntry() = default;
    HiScoreEntry(const std::string& name, int length, int score, int hits);
    virtual ~HiScoreEntry() = default;
    HiScoreEntry(const HiScoreEntry&) = default;
    HiScoreEntry& operator=(const HiScoreEntry&) = default;

    // score + length - 10 * hits, and 0 where that is negative. Worked out in 64 bits and
    // capped at the largest int, so extreme values from a hand-edited file cannot overflow.
    static int computeTotal(int length, int score, int hits);

    // The longest name the table keeps, in bytes. The library's reader refuses text of 4,096
    // bytes or more; even if every byte is escaped on writing (6 bytes for "&#x01;") a name
    // of this length stays far below that, so every saved name loads again.
    static constexpr std::size_t maxNameBytes = 255;
    // The name cut to maxNameBytes without splitting a UTF-8 character, and ended at a NUL
    // byte, which the library's text functions would take as the end anyway.
    static std::string boundName(const std::string& name);

    // Writes the entry as a "player" map, with the name bounded as above.
    void write(cv::FileStorage& storage) const;
    // Fills the entry from a "player" map; false, with a message on the console, when a key
    // is absent.
    bool read(const cv::FileNode& node, std::ostream& console);

    // Equal in every field: the same row of a table.
    bool operator==(const HiScoreEntry& other) const;

    std::string name;
    int length = 0;
    int score = 0;
    int hits = 0;
    int total = 0;
};
