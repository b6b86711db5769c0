#pragma once
// Shared by the tests of careful file work: scratch folders, files as text, and a child
// process that runs as another, unprivileged user.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <optional>
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
    explicit Folder(const std::filesystem::path& in = std::filesystem::temp_directory_path())
        : pattern(in / "dravolt-hs-XXXXXX") {
        std::filesystem::permissions(dir, std::filesystem::perms::all);
    }
    ~Folder() { std::filesystem::remove_all(dir); }
    std::string pattern;
    std::filesystem::path dir = mkdtemp(pattern.data());
    std::string path = dir / "hiscore.xml";
    std::vector<std::string> names() const { return namesIn(dir); }
};

// A folder in memory where there is one, for tests that save a thousand times: a flush to
// disk costs nothing there.
inline std::filesystem::path inMemory() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error)
               ? "/dev/shm"
               : std::filesystem::temp_directory_path();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

constexpr uid_t nobody = 65534;
constexpr gid_t nogroup = 65534;
// A second unprivileged user, with no account: another player of the machine.
constexpr uid_t stranger = 65533;

// A child process that runs body, as the given user and group when asked (only root can), and
// reports what body returns: empty when all went as expected, else what did not. Given a gate
// (a pipe), it starts when the last writer closes the gate, so that several children act at
// once.
class Child {
public:
    explicit Child(const std::function<std::string()>& body,
                   std::optional<uid_t> user = std::nullopt, const int* gate = nullptr) {
        int channel[2];
        if (pipe(channel) != 0)
            throw std::runtime_error("no pipe");
        pid = fork();
        if (pid == 0) {
            close(channel[0]);
            char none;
            if (gate && (close(gate[1]) != 0 || read(gate[0], &none, 1) != 0))
                _exit(2);
            if (user && (setgroups(0, nullptr) != 0 || setgid(*user) != 0 || setuid(*user) != 0))
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
