#pragma once
// Shared by the high-score tests: scratch folders, files as text, tables as rows, and a child
// process that runs as the unprivileged user "nobody".

#include "hiscore/HiScore.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The names in a folder, sorted.
inline std::vector<std::string> namesIn(const std::filesystem::path& dir) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        found.push_back(entry.path().filename());
    std::sort(found.begin(), found.end());
    return found;
}

// A fresh folder, open to every user (a child running as "nobody" works in it too), removed
// with everything in it.
struct Folder {
    Folder() { std::filesystem::permissions(dir, std::filesystem::perms::all); }
    ~Folder() { std::filesystem::remove_all(dir); }
    std::string pattern = std::filesystem::temp_directory_path() / "dravolt-hs-XXXXXX";
    std::filesystem::path dir = mkdtemp(pattern.data());
    std::string path = dir / "hiscore.xml";
    std::vector<std::string> names() const { return namesIn(dir); }
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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
    for (const HiScoreEntry& e : table.entries)
        result.push_back(e.name + " " + std::to_string(e.score) + " " + std::to_string(e.length) +
                         " " + std::to_string(e.hits) + " " + std::to_string(e.total));
    return result;
}

constexpr uid_t nobody = 65534;
constexpr gid_t nogroup = 65534;

// A child process that runs body, as "nobody" when asked (only root can), and reports what
// body returns: empty when all went as expected, else what did not. Given a gate (a pipe),
// it starts when the last writer closes the gate, so that several children act at once.
class Child {
public:
    explicit Child(const std::function<std::string()>& body, bool asNobody = false,
                   const int* gate = nullptr) {
        int channel[2];
        if (pipe(channel) != 0)
            throw std::runtime_error("no pipe");
        pid = fork();
        if (pid == 0) {
            close(channel[0]);
            char none;
            if (gate && (close(gate[1]) != 0 || read(gate[0], &none, 1) != 0))
                _exit(2);
            if (asNobody &&
                (setgroups(0, nullptr) != 0 || setgid(nogroup) != 0 || setuid(nobody) != 0))
                _exit(3);
            const std::string report = body();
            _exit(write(channel[1], report.data(), report.size()) < 0 ? 1 : 0);
        }
        close(channel[1]);
        reports = channel[0];
    }
    // Waits for the child's end.
    std::string result() {
        std::string report;
        char buffer[256];
        for (ssize_t n; (n = read(reports, buffer, sizeof buffer)) > 0;)
            report.append(buffer, static_cast<std::size_t>(n));
        close(reports);
        int status = -1;
        waitpid(pid, &status, 0);
        return status == 0 ? report
                           : report + " (the child ended with " + std::to_string(status) + ")";
    }

    pid_t pid = -1;

private:
    int reports = -1;
};
