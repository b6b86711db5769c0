#include "hiscore/HiScoreEntry.hpp"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>

HiScoreEntry::HiScoreEntry(const std::string& name, int length, int score, int hits)
    : name(name), length(length), score(score), hits(hits),
      total(computeTotal(length, score, hits)) {}

int HiScoreEntry::computeTotal(int length, int score, int hits) {
    const std::int64_t sum = std::int64_t{score} + length - std::int64_t{10} * hits;
    const std::int64_t largest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp<std::int64_t>(sum, 0, largest));
}

std::string HiScoreEntry::boundName(const std::string& name) {
    std::string bounded = name.substr(0, name.find('\0'));
    if (bounded.size() <= maxNameBytes)
        return bounded;
    // Step back over UTF-8 continuation bytes (at most three follow a lead byte) so the cut
    // lands before a whole character; a name that is not UTF-8 is cut at most 3 bytes early.
    std::size_t end = maxNameBytes;
    while (end > maxNameBytes - 3 && (static_cast<unsigned char>(bounded[end]) & 0xC0) == 0x80)
        --end;
    bounded.resize(end);
    return bounded;
}

void HiScoreEntry::write(cv::FileStorage& storage) const {
    storage << "player"
            << "{";
    // cv::write keeps the name text; the stream operator would take a leading bracket or
    // brace for structure.
    cv::write(storage, "name", boundName(name));
    storage << "score" << score;
    storage << "length" << length;
    storage << "hits" << hits;
    storage << "}";
}

namespace {

// Anything but a plain integer (text, a real number, a structure) counts as 0.
int readInteger(const cv::FileNode& node) {
    return node.isInt() ? static_cast<int>(node) : 0;
}

} // namespace

bool HiScoreEntry::read(const cv::FileNode& node) {
    // A "player" that is not a map has none of the keys; asking a non-map for a key would
    // make the library throw.
    const bool isMap = node.isMap();
    const cv::FileNode nameNode = isMap ? node["name"] : cv::FileNode();
    if (nameNode.isNone()) {
        std::cout << "name is missing\n";
        return false;
    }
    name = nameNode.isString() ? nameNode.string() : std::string();

    const cv::FileNode scoreNode = node["score"];
    if (scoreNode.isNone()) {
        std::cout << "score is missing\n";
        return false;
    }
    score = readInteger(scoreNode);

    const cv::FileNode lengthNode = node["length"];
    if (lengthNode.isNone()) {
        std::cout << "length is missing\n";
        return false;
    }
    length = readInteger(lengthNode);

    const cv::FileNode hitsNode = node["hits"];
    if (hitsNode.isNone()) {
        std::cout << "hits is missing\n";
        return false;
    }
    hits = readInteger(hitsNode);

    total = computeTotal(length, score, hits);
    return true;
}
