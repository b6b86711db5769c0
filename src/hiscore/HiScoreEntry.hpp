#pragma once
// One finished run: the player's name, distance in metres, score and collisions, and the
// ranking value derived from them (never stored in the file).

#include <opencv2/core/persistence.hpp>
#include <string>

class HiScoreEntry {
public:
    HiScoreEntry() = default;
    HiScoreEntry(const std::string& name, int length, int score, int hits);
    virtual ~HiScoreEntry() = default;
    HiScoreEntry(const HiScoreEntry&) = default;
    HiScoreEntry& operator=(const HiScoreEntry&) = default;

    // score + length - 10 * hits, and 0 where that is negative.
    static int computeTotal(int length, int score, int hits);

    // Writes the entry as a "player" map.
    void write(cv::FileStorage& storage) const;
    // Fills the entry from a "player" map; false (with a message) when a key is absent.
    bool read(const cv::FileNode& node);

    std::string name;
    int length = 0;
    int score = 0;
    int hits = 0;
    int total = 0;
};
