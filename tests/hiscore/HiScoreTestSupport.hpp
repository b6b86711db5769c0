#pragma once
// Shared by the high-score tests: the table's file as text, tables as rows (and through
// files/FileTestSupport.hpp, scratch folders and child processes of other users).

#include "files/FileTestSupport.hpp"
#include "hiscore/HiScore.hpp"

#include <string>
#include <vector>

const std::string head = "<?xml version=\"1.0\"?>\n<opencv_storage>\n";
const std::string tail = "</opencv_storage>\n";

inline std::string tableFile(const std::string& items) {
    return head + "<hiscore>\n" + items + "</hiscore>\n" + tail;
}

inline std::string item(const std::string& name, const std::string& score,
                        const std::string& length, const std::string& hits) {
    return "<_><player><name>\"" + name + "\"</name><score>" + score + "</score><length>" + length +
           "</length><hits>" + hits + "</hits></player></_>\n";
}

// "name score length hits total" per entry, best first.
inline std::vector<std::string> rows(const HiScore& table) {
    std::vector<std::string> result;
    for (const HiScoreEntry& e : table.entries())
        result.push_back(e.name + " " + std::to_string(e.score) + " " + std::to_string(e.length) +
                         " " + std::to_string(e.hits) + " " + std::to_string(e.total));
    return result;
}
