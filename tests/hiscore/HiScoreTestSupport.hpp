#pragma once
// Temporary folders, file helpers and console capture for the high-score tests.

#include "hiscore/HiScore.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dravolt-hs-XXXXXX");
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

// Collects what std::cout receives while it lives.
class CoutCapture {
public:
    CoutCapture() : old(std::cout.rdbuf(buffer.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(old); }
    std::string text() const { return buffer.str(); }

private:
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

// A table file the way the library writes it, with the given "player" elements.
inline std::string tableFile(const std::string& players) {
    return "<?xml version=\"1.0\"?>\n<opencv_storage>\n<hiscore>\n" + players +
           "</hiscore>\n</opencv_storage>\n";
}

inline std::string player(const std::string& name, const std::string& score,
                          const std::string& length, const std::string& hits) {
    return "<_><player><name>\"" + name + "\"</name><score>" + score + "</score><length>" + length +
           "</length><hits>" + hits + "</hits></player></_>\n";
}
