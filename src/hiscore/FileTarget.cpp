#include "hiscore/FileTarget.hpp"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The kernel's own limit on the links one lookup follows.
constexpr int maxLinks = 40;

// The components of a path, last first, so that the next one to visit is at the back.
void pushComponents(const std::string& path, std::vector<std::string>& todo) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start)
            parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    todo.insert(todo.end(), parts.rbegin(), parts.rend());
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// One level up from a folder reached without links, so ".." may be taken by its text.
std::string parentOf(const std::string& folder) {
    if (folder.empty() || folder == ".." ||
        (folder.size() > 2 && folder.compare(folder.size() - 3, 3, "/..") == 0))
        return joined(folder, "..");
    if (folder == "/")
        return folder;
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? "/" : folder.substr(0, slash);
}

bool trusted(const struct stat& link) {
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}

} // namespace

FileTarget::FileTarget(const std::string& name) {
    std::vector<std::string> todo;
    pushComponents(name, todo);
    // What has been walked so far; "" is the working folder.
    std::string walked = !name.empty() && name.front() == '/' ? "/" : "";
    int links = 0;
    while (!todo.empty()) {
        const std::string part = todo.back();
        todo.pop_back();
        if (part == ".")
            continue;
        if (part == "..") {
            walked = parentOf(walked);
            continue;
        }
        const std::string next = joined(walked, part);
        struct stat info = {};
        if (::lstat(next.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            // A missing file at the end is one to create; a missing folder on the way fails
            // whatever is tried there, with its own error.
            walked = next;
            continue;
        }
        // A folder on the way may be a link (a home on another disk): the files in it are
        // still the game's. Only a link in the file's own place may lead to anybody's file.
        if (todo.empty())
            throughLink = true;
        if (foreignLink.empty() && !trusted(info))
            foreignLink = next;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(next.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size() || ++links > maxLinks) {
            failure = "can't follow the link '" + next +
                      "': " + std::strerror(links > maxLinks ? ELOOP : errno);
            return;
        }
        target.resize(static_cast<std::size_t>(n));
        if (target.front() == '/')
            walked = "/";
        pushComponents(target, todo);
    }
    path = walked.empty() ? "." : walked;
}

std::string FileTarget::writeRefusal() const {
    if (!failure.empty())
        return failure;
    if (!foreignLink.empty())
        return "it is reached through a link that belongs to another user ('" + foreignLink + "')";
    return std::string();
}
