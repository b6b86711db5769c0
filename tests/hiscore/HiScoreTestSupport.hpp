#pragma once
// Temporary folders, files and console capture for the high-score tests.

#include "hiscore/HiScore.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// A fresh folder, removed with everything in it.
struct TempFolder {
    TempFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "dravolt-hs-XXXXXX";
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

// Collects what std::cout receives while it lives.
struct CoutCapture {
    CoutCapture() : old(std::cout.rdbuf(buffer.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(old); }
    std::string text() const { return buffer.str(); }
    std::ostringstream buffer;
    std::streambuf* old;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A table file laid out the way the library writes one.
inline std::string tableFile(const std::string& items) {
    return "<?xml version=\"1.0\"?>\n<opencv_storage>\n<hiscore>\n" + items +
           "</hiscore>\n</opencv_storage>\n";
}

inline std::string item(const std::string& name, const std::string& score,
                        const std::string& length, const std::string& hits) {
    return "<_><player><name>\"" + name + "\"</name><score>" + score + "</score><length>" + length +
           "</length><hits>" + hits + "</hits></player></_>\n";
}

// "name score length hits total" per entry, best first.
inline std::vector<std::string> rows(const HiScore& table) {
    std::vector<std::string> result;
    for (const HiScoreEntry& e : table.entries)
        result.push_back(e.name + " " + std::to_string(e.score) + " " + std::to_string(e.length) +
                         " " + std::to_string(e.hits) + " " + std::to_string(e.total));
    return result;
}
