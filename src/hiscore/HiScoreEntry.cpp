#include "hiscore/HiScoreEntry.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <tuple>

HiScoreEntry::HiScoreEntry(const std::string& player, int metres, int points, int collisions)
    : name(player), length(metres), score(points), hits(collisions),
      total(computeTotal(metres, points, collisions)) {}

int HiScoreEntry::computeTotal(int length, int score, int hits) {
    const std::int64_t sum = std::int64_t{score} + length - std::int64_t{10} * hits;
    const std::int64_t largest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp<std::int64_t>(sum, 0, largest));
}

bool HiScoreEntry::operator==(const HiScoreEntry& other) const {
    return std::tie(name, length, score, hits, total) ==
           std::tie(other.name, other.length, other.score, other.hits, other.total);
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

namespace {

// The writer takes text that begins and ends with a double quote for text it has quoted
// already and copies it unescaped: the name "Ace" (quotes typed) would come back as Ace,
// and "<3" would make the whole file unreadable. Such a name is quoted and escaped here,
// the way the writer escapes every other text, so that the reader restores it exactly.
std::string quotedForWriter(const std::string& name) {
    if (name.empty() || name.front() != '"' || name.back() != '"')
        return name;
    static const char* const entities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    std::string quoted = "\"";
    for (const char c : name) {
        const std::size_t special = std::string_view("&<>\"'").find(c);
        if (special != std::string_view::npos) {
            quoted += entities[special];
        } else if (static_cast<unsigned char>(c) < 0x20) {
            const char* const hex = "0123456789abcdef";
            quoted += std::string("&#x") + hex[c >> 4] + hex[c & 0xF] + ";";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

} // namespace

void HiScoreEntry::write(cv::FileStorage& storage) const {
    storage << "player"
            << "{";
    // cv::write keeps the name text; the stream operator would take a leading bracket or
    // brace for structure.
    cv::write(storage, "name", quotedForWriter(boundName(name)));
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

bool HiScoreEntry::read(const cv::FileNode& node, std::ostream& console) {
    // A "player" that is not a map has none of the keys; asking a non-map for a key would
    // make the library throw.
    const bool isMap = node.isMap();
    const cv::FileNode nameNode = isMap ? node["name"] : cv::FileNode();
    if (nameNode.isNone()) {
        console << "name is missing\n";
        return false;
    }
    name = nameNode.isString() ? nameNode.string() : std::string();

    const cv::FileNode scoreNode = node["score"];
    if (scoreNode.isNone()) {
        console << "score is missing\n";
        return false;
    }
    score = readInteger(scoreNode);

    const cv::FileNode lengthNode = node["length"];
    if (lengthNode.isNone()) {
        console << "length is missing\n";
        return false;
    }
    length = readInteger(lengthNode);

    const cv::FileNode hitsNode = node["hits"];
    if (hitsNode.isNone()) {
        console << "hits is missing\n";
        return false;
    }
    hits = readInteger(hitsNode);

    total = computeTotal(length, score, hits);
    return true;
}
