#include "hiscore/SafeFile.hpp"

#include "hiscore/FileDescriptor.hpp"
#include "hiscore/TemporaryFile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The mode a program's new file usually gets, 0666 less the umask. The umask is read from the
// kernel's status of this process: setting it to learn it would change it for the detection
// thread's files meanwhile.
mode_t newFileMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    return 0644;
}

// Writes all of text, or false (errno set).
bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0 || errno != EINTR)
            return false;
    }
    return true;
}

// Makes a rename in the folder durable; a failure leaves a correct file, so it is not reported.
void flushFolder(const std::string& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

// Renames without ever replacing a file under the new name: the kernel's no-replace rename,
// or where the file system lacks it, a second link under the new name and removal of the old.
// Fails with EEXIST when the new name is taken.
bool moveWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str()); // should this fail, the file is kept under both names
    return true;
}

constexpr int maxKeptFiles = 1000;

} // namespace

SafeFile::SafeFile(std::string file) : path(std::move(file)) {}

SafeFile::ReadResult SafeFile::read(std::size_t limit, std::string& bytes,
                                    std::string& failure) const {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (!fd.valid()) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        failure = std::strerror(errno);
        return ReadResult::Failed;
    }
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & S_IRUSR) == 0) {
        failure = S_ISREG(info.st_mode) ? std::strerror(EACCES) : "not a regular file";
        return ReadResult::Failed;
    }
    char buffer[4096];
    while (bytes.size() <= limit) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failure = std::strerror(errno);
            return ReadResult::Failed;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return ReadResult::Read;
}

std::optional<SafeFile::Attributes> SafeFile::attributes() const {
    struct stat info = {};
    if (::lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return Attributes{static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
}

std::string SafeFile::keepReason() const {
    struct stat info = {};
    if (::lstat(path.c_str(), &info) != 0)
        return std::string();
    if ((info.st_mode & S_IWUSR) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return "the file is read-only";
    // A new file could not be given another user's ownership: it would quietly become the
    // player's, and the owner would lose it.
    if (info.st_uid != ::geteuid() && ::geteuid() != 0)
        return "the file belongs to another user";
    return std::string();
}

SafeFile::AsideResult SafeFile::setAside(std::string& movedTo, std::string& failure) const {
    const std::string badName = path + ".bad";
    for (int n = 0; n < maxKeptFiles; ++n) {
        const std::string candidate = n == 0 ? badName : badName + "." + std::to_string(n);
        if (moveWithoutReplacing(path, candidate)) {
            movedTo = candidate;
            return AsideResult::Moved;
        }
        if (errno == ENOENT)
            return AsideResult::Vanished;
        if (errno != EEXIST) {
            movedTo = candidate;
            failure = std::strerror(errno);
            return AsideResult::Failed;
        }
    }
    failure = "'" + badName + "' to '.bad." + std::to_string(maxKeptFiles - 1) + "' are all taken";
    return AsideResult::Failed;
}

bool SafeFile::replace(const std::string& text, const std::optional<Attributes>& kept,
                       std::string& failure) const {
    TemporaryFile temp(path);
    if (!temp.created()) {
        failure = temp.failure;
        return false;
    }
    const int fd = temp.descriptor();
    const std::string& name = temp.name();
    // The owner first: a change of owner may clear mode bits.
    struct stat made = {};
    if (kept &&
        (::fstat(fd, &made) != 0 || made.st_uid != kept->owner || made.st_gid != kept->group) &&
        ::fchown(fd, kept->owner, kept->group) != 0) {
        failure = systemError("can't keep the file's owner and group");
        return false;
    }
    if (::fchmod(fd, kept ? kept->mode : newFileMode()) != 0) {
        failure = systemError("can't set the permissions of '" + name + "'");
        return false;
    }
    if (!writeAll(fd, text)) {
        failure = systemError("can't write '" + name + "'");
        return false;
    }
    // A crash or power cut after the rename must find the new table, not an empty file.
    if (::fsync(fd) != 0) {
        failure = systemError("can't flush '" + name + "' to disk");
        return false;
    }
    if (!temp.close()) {
        failure = systemError("can't close '" + name + "'");
        return false;
    }
    if (!temp.replace()) {
        failure = systemError("can't replace it with '" + name + "'");
        return false;
    }
    flushFolder(folderOf(path));
    return true;
}

void SafeFile::removeStaleTemporaries() const {
    const std::string folder = folderOf(path);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    const std::string own = nameOf(path);
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        const std::string file = folder + "/" + name;
        struct stat info = {};
        if (TemporaryFile::isTemporaryOf(name, own) && ::lstat(file.c_str(), &info) == 0 &&
            S_ISREG(info.st_mode))
            ::unlink(file.c_str());
    }
}
