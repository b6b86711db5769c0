#include "files/FileTarget.hpp"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The kernel's own limit on the links one lookup follows.
constexpr int maxLinks = 40;
// How often a folder that vanishes between being made and being opened is made again.
constexpr int maxRemakes = 8;

// One name of a path still to walk; `own` when it is part of the name given, which the walk
// may make, rather than of what a link leads to.
struct Part {
    std::string name;
    bool own;
};

// The components of a path, last first, so that the next one to visit is at the back.
void pushComponents(const std::string& path, bool own, std::vector<Part>& todo) {
    std::vector<Part> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start)
            parts.push_back({path.substr(start, slash - start), own});
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

FileDescriptor openPath(int at, const char* name) {
    return FileDescriptor(::openat(at, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
}

} // namespace

// One walk of a name: where it stands (an open folder and the path there, for messages) and
// the parts still to visit.
struct FileTarget::Walk {
    FileDescriptor here;
    std::string walked; // "" is the working folder
    std::vector<Part> todo;
    int links = 0;
    int remakes = 0;

    // Makes the missing folder `part` here; false when the walk may not make it.
    OrRefusal<bool> makeFolder(const Part& part, const std::string& next, bool allowed) {
        if (!allowed || !part.own || remakes >= maxRemakes)
            return false;
        // The XDG rules ask for 0700 on the folders a program makes there: the scores and the
        // dumps are nobody else's business. One that exists keeps its mode.
        if (::mkdirat(here.get(), part.name.c_str(), 0700) != 0 && errno != EEXIST)
            return Refusal::systemError("can't create the folder '" + next + "'");
        ++remakes;
        todo.push_back(part); // and visit it again
        return true;
    }

    // Goes on with what the link `found`, named `next`, leads to.
    std::optional<Refusal> follow(const FileDescriptor& found, const std::string& next) {
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlinkat(found.get(), "", target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size() || ++links > maxLinks) {
            if (links > maxLinks)
                errno = ELOOP;
            return Refusal::systemError("can't follow the link '" + next + "'");
        }
        target.resize(static_cast<std::size_t>(n));
        if (target.front() == '/') {
            here = openPath(AT_FDCWD, "/");
            walked = "/";
        }
        pushComponents(target, false, todo);
        return std::nullopt;
    }
};

OrRefusal<FileTarget> FileTarget::find(const std::string& name, Folders folders,
                                       LastLink lastLink) {
    FileTarget target;
    Walk walk;
    pushComponents(name, true, walk.todo);
    const bool absolute = !name.empty() && name.front() == '/';
    walk.here = openPath(AT_FDCWD, absolute ? "/" : ".");
    walk.walked = absolute ? "/" : "";
    bool folderMissing = false;
    while (!walk.todo.empty() && !folderMissing) {
        if (!walk.here.valid())
            return Refusal::systemError();
        const Part part = walk.todo.back();
        walk.todo.pop_back();
        if (part.name == ".")
            continue;
        if (part.name == "..") {
            walk.here =
                FileDescriptor(::openat(walk.here.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
            walk.walked = parentOf(walk.walked);
            continue;
        }
        const bool last = walk.todo.empty();
        const std::string next = joined(walk.walked, part.name);
        FileDescriptor found = openPath(walk.here.get(), part.name.c_str());
        struct stat info = {};
        if (!found.valid() && errno == ENOENT) {
            if (!last) {
                // A folder is made only before any link of another user's has been met.
                const bool allowed =
                    folders == Folders::MakeMissing && target.m_foreignLink.empty();
                const OrRefusal<bool> made = walk.makeFolder(part, next, allowed);
                if (!made.ok())
                    return made.refusal();
                folderMissing = !made.value(); // and so is the file
                walk.walked = folderMissing ? next : walk.walked;
                continue;
            }
            info.st_mode = 0; // a file still to be made
        } else if (!found.valid() || ::fstat(found.get(), &info) != 0) {
            return Refusal::systemError();
        }
        if (S_ISLNK(info.st_mode) && !(last && part.own && lastLink == LastLink::Keep)) {
            // A folder on the way may be a link (a home on another disk): the files in it are
            // still the game's. Only a link in the file's own place may lead to anybody's file.
            target.m_throughLink = target.m_throughLink || last;
            if (target.m_foreignLink.empty() && !trusted(info))
                target.m_foreignLink = next;
            if (std::optional<Refusal> refused = walk.follow(found, next))
                return *refused;
            continue;
        }
        walk.walked = next;
        if (last) {
            target.m_name = part.name;
        } else if (!S_ISDIR(info.st_mode)) {
            errno = ENOTDIR;
            return Refusal::systemError();
        } else {
            walk.here = std::move(found);
        }
    }
    if (folderMissing) {
        // The rest of the name only serves the messages; the first part left is the last.
        for (auto part = walk.todo.rbegin(); part != walk.todo.rend(); ++part)
            walk.walked = joined(walk.walked, part->name);
        target.m_name = walk.todo.front().name;
        walk.here = FileDescriptor();
    } else if (target.m_name.empty()) {
        errno = EISDIR; // the name ends in a folder
        return Refusal::systemError();
    }
    target.m_folder = std::move(walk.here);
    target.m_path = walk.walked;
    return target;
}

std::optional<Refusal> FileTarget::writeRefusal() const {
    if (!m_foreignLink.empty())
        return Refusal("it is reached through a link that belongs to another user ('" +
                       m_foreignLink + "')");
    return std::nullopt;
}
