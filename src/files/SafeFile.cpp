#include "files/SafeFile.hpp"

#include "files/FileDescriptor.hpp"
#include "files/Rename.hpp"
#include "files/TemporaryFile.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace {

constexpr int maxKeptFiles = 1000;

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

// The folder opened for reading its list or flushing it; not valid when it cannot be.
FileDescriptor readableFolder(const FileDescriptor& folder) {
    return FileDescriptor(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// Calls visit with the name of every entry of the folder.
void forEachName(const FileDescriptor& folder,
                 const std::function<void(const std::string&)>& visit) {
    FileDescriptor readable = readableFolder(folder);
    if (!readable.valid())
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(readable.get()), ::closedir);
    if (!dir)
        return;
    static_cast<void>(readable.release()); // the listing owns it now
    while (const dirent* entry = ::readdir(dir.get()))
        visit(entry->d_name);
}

// The number of a set-aside name ("<name>.bad" is 0, "<name>.bad.7" is 7), or -1.
long asideNumber(const std::string& candidate, const std::string& name) {
    const std::string bad = name + ".bad";
    if (candidate == bad)
        return 0;
    if (candidate.size() <= bad.size() + 1 || candidate.compare(0, bad.size() + 1, bad + ".") != 0)
        return -1;
    const std::string digits = candidate.substr(bad.size() + 1);
    if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos ||
        (digits.size() > 1 && digits.front() == '0'))
        return -1;
    return std::stol(digits);
}

} // namespace

bool SafeFile::Attributes::operator==(const Attributes& other) const {
    return mode == other.mode && owner == other.owner && group == other.group;
}

SafeFile::SafeFile(const FileTarget& file) : m_target(file) {}

std::string SafeFile::beside(const std::string& name) const {
    const std::string& path = m_target.path();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? name : path.substr(0, slash + 1) + name;
}

SafeFile::Status SafeFile::status() const {
    Status status;
    struct stat info = {};
    if (!m_target.folder().valid() || ::fstatat(m_target.folder().get(), m_target.name().c_str(),
                                                &info, AT_SYMLINK_NOFOLLOW) != 0)
        return status;
    status.exists = true;
    status.regular = S_ISREG(info.st_mode);
    status.attributes = {static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
    status.readOnly =
        (info.st_mode & S_IWUSR) == 0 ||
        ::faccessat(m_target.folder().get(), m_target.name().c_str(), W_OK, AT_EACCESS) != 0;
    status.foreignOwner = info.st_uid != ::geteuid() && ::geteuid() != 0;
    return status;
}

OrRefusal<std::optional<std::string>> SafeFile::read(std::size_t limit) const {
    if (!m_target.folder().valid())
        return std::optional<std::string>();
    const FileDescriptor fd(::openat(m_target.folder().get(), m_target.name().c_str(),
                                     O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY));
    if (!fd.valid()) {
        if (errno == ENOENT)
            return std::optional<std::string>();
        return Refusal::systemError();
    }
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0)
        return Refusal::systemError();
    if (!S_ISREG(info.st_mode))
        return Refusal("not a regular file");
    if ((info.st_mode & S_IRUSR) == 0) {
        errno = EACCES;
        return Refusal::systemError();
    }
    std::string bytes;
    char buffer[4096];
    while (bytes.size() <= limit) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Refusal::systemError();
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return std::optional<std::string>(std::move(bytes));
}

SafeFile::Aside SafeFile::setAside() const {
    const std::string badName = m_target.name() + ".bad";
    Aside aside;
    for (int n = 0; n < maxKeptFiles; ++n) {
        const std::string candidate = n == 0 ? badName : badName + "." + std::to_string(n);
        if (renameWithoutReplacing(m_target.folder().get(), m_target.name(), candidate)) {
            aside.outcome = Aside::Moved;
            aside.movedTo = beside(candidate);
            return aside;
        }
        if (errno == ENOENT) {
            aside.outcome = Aside::Vanished;
            return aside;
        }
        if (errno != EEXIST) {
            aside.movedTo = beside(candidate);
            aside.failure = Refusal::systemError();
            return aside;
        }
    }
    aside.failure = Refusal("'" + beside(badName) + "' to '.bad." +
                            std::to_string(maxKeptFiles - 1) + "' are all taken");
    return aside;
}

std::optional<SafeFile::Attributes> SafeFile::setAsideAttributes() const {
    if (!m_target.folder().valid())
        return std::nullopt;
    const uid_t self = ::geteuid();
    std::optional<Attributes> newest;
    std::tuple<long, long, long> newestTime{-1, -1, -1}; // changed at (s, ns), then number
    forEachName(m_target.folder(), [&](const std::string& name) {
        const long number = asideNumber(name, m_target.name());
        struct stat info = {};
        if (number < 0 ||
            ::fstatat(m_target.folder().get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || (info.st_uid != self && self != 0))
            return;
        // Moving a file aside changes its status time: the newest is the one moved last.
        const std::tuple<long, long, long> time{info.st_ctim.tv_sec, info.st_ctim.tv_nsec, number};
        if (time > newestTime) {
            newestTime = time;
            newest =
                Attributes{static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
        }
    });
    return newest;
}

std::optional<Refusal> SafeFile::replace(const std::string& text,
                                         const std::optional<Attributes>& kept) const {
    OrRefusal<TemporaryFile> made = TemporaryFile::create(m_target.folder(), m_target.name());
    if (!made.ok())
        return made.refusal();
    TemporaryFile& temp = made.value();
    const int fd = temp.descriptor();
    const std::string name = beside(temp.name());
    // The owner first: a change of owner may clear mode bits.
    struct stat info = {};
    if (kept &&
        (::fstat(fd, &info) != 0 || info.st_uid != kept->owner || info.st_gid != kept->group) &&
        ::fchown(fd, kept->owner, kept->group) != 0)
        return Refusal::systemError("can't keep the file's owner and group");
    if (::fchmod(fd, kept ? kept->mode : newFileMode()) != 0)
        return Refusal::systemError("can't set the permissions of '" + name + "'");
    if (!writeAll(fd, text))
        return Refusal::systemError("can't write '" + name + "'");
    // A crash or power cut after the rename must find the new table, not an empty file.
    if (::fsync(fd) != 0)
        return Refusal::systemError("can't flush '" + name + "' to disk");
    if (!temp.close())
        return Refusal::systemError("can't close '" + name + "'");
    if (!temp.replaceFinal())
        return Refusal::systemError("can't replace it with '" + name + "'");
    // Makes the rename durable; a failure leaves a correct file, so it is not reported.
    const FileDescriptor folder = readableFolder(m_target.folder());
    if (folder.valid())
        ::fsync(folder.get());
    return std::nullopt;
}

std::optional<Refusal> SafeFile::createNew(const std::string& bytes) const {
    OrRefusal<TemporaryFile> made = TemporaryFile::create(m_target.folder(), m_target.name());
    if (!made.ok())
        return made.refusal();
    TemporaryFile& temp = made.value();
    const std::string name = beside(temp.name());
    if (::fchmod(temp.descriptor(), newFileMode()) != 0)
        return Refusal::systemError("can't set the permissions of '" + name + "'");
    if (!writeAll(temp.descriptor(), bytes))
        return Refusal::systemError("can't write '" + name + "'");
    if (!temp.close())
        return Refusal::systemError("can't close '" + name + "'");
    if (!temp.becomeNew()) {
        if (errno == EEXIST)
            return Refusal("a file of that name exists already");
        return Refusal::systemError("can't rename '" + name + "' to it");
    }
    return std::nullopt;
}

void SafeFile::removeStaleTemporaries() const {
    const uid_t self = ::geteuid();
    forEachName(m_target.folder(), [&](const std::string& name) {
        struct stat info = {};
        if (TemporaryFile::isTemporaryOf(name, m_target.name()) &&
            ::fstatat(m_target.folder().get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == self)
            ::unlinkat(m_target.folder().get(), name.c_str(), 0);
    });
}
