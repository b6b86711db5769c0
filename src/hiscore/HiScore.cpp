#include "hiscore/HiScore.hpp"

#include "hiscore/HiScoreFileCheck.hpp"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <iostream>
#include <opencv2/core.hpp>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

HiScore::HiScore() {
    loadDefaults();
}

void HiScore::clear() {
    entries.clear();
}

void HiScore::setMaxEntries(std::size_t n) {
    maxEntries = n;
    while (entries.size() > maxEntries)
        entries.pop_back();
}

namespace {

// True when the new entry takes the place of the stored one: a higher total, then fewer
// hits, then a longer distance, then a higher score; on a full tie the newer entry goes first.
bool ranksAbove(const HiScoreEntry& entry, const HiScoreEntry& stored) {
    if (entry.total != stored.total)
        return entry.total > stored.total;
    if (entry.hits != stored.hits)
        return entry.hits < stored.hits;
    if (entry.length != stored.length)
        return entry.length > stored.length;
    return entry.score >= stored.score;
}

HiScoreEntry bounded(const HiScoreEntry& entry) {
    HiScoreEntry copy = entry;
    copy.name = HiScoreEntry::boundName(entry.name);
    return copy;
}

} // namespace

int HiScore::insert(const HiScoreEntry& entry, bool probeOnly) {
    if (entries.empty()) {
        if (!probeOnly)
            entries.push_back(bounded(entry));
        return 0;
    }
    int rank = 0;
    auto place = entries.begin();
    while (place != entries.end() && !ranksAbove(entry, *place)) {
        ++place;
        ++rank;
    }
    if (place == entries.end() && entries.size() >= maxEntries)
        return -1;
    if (!probeOnly)
        entries.insert(place, bounded(entry));
    if (entries.size() > maxEntries)
        entries.pop_back();
    return rank;
}

void HiScore::loadDefaults() {
    insert(HiScoreEntry(".Orlan.", 1500, 2500, 1), false);
    insert(HiScoreEntry(".Tavio.", 1300, 2300, 2), false);
    insert(HiScoreEntry(".Pelkin.", 1100, 2100, 3), false);
    insert(HiScoreEntry(".Nudo.", 900, 1900, 4), false);
    insert(HiScoreEntry(".Ardis.", 800, 1700, 5), false);
    insert(HiScoreEntry(".Wendal.", 700, 1500, 6), false);
    insert(HiScoreEntry(".Orlan.", 600, 1300, 7), false);
    insert(HiScoreEntry(".Joss.", 500, 1100, 8), false);
}

std::string HiScore::tempFileName(const std::string& fileName) {
    const std::string suffix = ".xml";
    const bool endsInXml =
        fileName.size() > suffix.size() &&
        fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) == 0;
    const std::string stem =
        endsInXml ? fileName.substr(0, fileName.size() - suffix.size()) : fileName;
    return stem + ".tmp.xml";
}

namespace {

// The library's messages run over several lines; the console report keeps to one.
std::string oneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

// The library's parse errors carry the line and the problem where other errors name the
// function, and the function's name where the description would be.
std::string libraryError(const cv::Exception& e) {
    if (e.code == cv::Error::StsParseError)
        return oneLine(e.func);
    return oneLine(e.func.empty() ? e.err : e.err + " in " + e.func);
}

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// True when the library's reader gives back exactly the entries written, in order: a save
// never replaces a good file by one that loses or changes records.
bool readsBack(const std::string& text, const std::list<HiScoreEntry>& entries) try {
    cv::FileStorage storage(text, cv::FileStorage::READ | cv::FileStorage::MEMORY);
    const cv::FileNode table = storage["hiscore"];
    if (entries.empty())
        return table.isNone();
    if (!table.isSeq() || table.size() != entries.size())
        return false;
    auto written = entries.begin();
    for (cv::FileNodeIterator item = table.begin(); item != table.end(); ++item, ++written) {
        HiScoreEntry entry;
        if (!(*item).isMap() || !entry.read((*item)["player"]) ||
            entry.name != HiScoreEntry::boundName(written->name) || entry.score != written->score ||
            entry.length != written->length || entry.hits != written->hits)
            return false;
    }
    return true;
} catch (const std::exception&) {
    return false;
}

// The whole table in the library's XML, written in memory so that every failure of the
// file system can be seen and handled below. Empty with the reason in `failure` when the
// library refuses something.
std::string renderTable(const std::list<HiScoreEntry>& entries, std::string& failure) {
    try {
        cv::FileStorage storage(".xml", cv::FileStorage::WRITE | cv::FileStorage::MEMORY);
        storage << "hiscore"
                << "[";
        for (const HiScoreEntry& entry : entries) {
            storage << "{";
            entry.write(storage);
            storage << "}";
        }
        storage << "]";
        std::string text = storage.releaseAndGetString();
        const HiScoreFileCheck check(text);
        if (!check.ok())
            failure = "the table would not load again (" + check.reason + ")";
        else if (!readsBack(text, entries))
            failure = "the table would not read back the same";
        return failure.empty() ? text : std::string();
    } catch (const cv::Exception& e) {
        failure = "the library refused the table: " + libraryError(e);
    } catch (const std::exception& e) {
        failure = "the library refused the table: " + oneLine(e.what());
    }
    return std::string();
}

// Puts text on disk under `path` with the permission bits `mode` (0 for the usual ones);
// false with the reason in `failure` at the first error, and then no file remains there.
bool writeDurably(const std::string& path, const std::string& text, mode_t mode,
                  std::string& failure) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        failure = systemError("can't create '" + path + "'");
        return false;
    }
    if (mode != 0 && ::fchmod(fd, mode) != 0)
        failure = systemError("can't set the permissions of '" + path + "'");
    std::size_t done = 0;
    while (failure.empty() && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0 || errno != EINTR)
            failure = systemError("can't write '" + path + "'");
    }
    // A crash or power cut after the rename must find the new table, not an empty file.
    if (failure.empty() && ::fsync(fd) != 0)
        failure = systemError("can't flush '" + path + "' to disk");
    if (::close(fd) != 0 && failure.empty())
        failure = systemError("can't close '" + path + "'");
    if (!failure.empty())
        ::unlink(path.c_str());
    return failure.empty();
}

std::string folderOf(const std::string& fileName) {
    const std::size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

// Makes the rename itself durable; a failure here leaves a correct file behind, so it is
// not reported.
void flushFolder(const std::string& fileName) {
    const int fd = ::open(folderOf(fileName).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a name finally stands for: symbolic links followed to their last target, which
// need not exist yet. Empty, with the reason in `failure`, for a link that cannot be followed.
std::string finalTarget(const std::string& fileName, std::string& failure) {
    std::string path = fileName;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) {
            failure = systemError("can't follow the link '" + path + "'");
            return std::string();
        }
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : folderOf(path) + "/" + target;
    }
    errno = ELOOP;
    failure = systemError("can't follow the link '" + fileName + "'");
    return std::string();
}

// False, with the reason, for a file the player cannot write. The owner's write bit decides
// first: that is how a player freezes a file, and root's access() allows everything.
// `mode` receives the file's permission bits for its replacement, 0 when there is no file.
bool mayReplace(const std::string& path, mode_t& mode, std::string& failure) {
    struct stat info {};
    mode = 0;
    if (::stat(path.c_str(), &info) != 0)
        return true; // nothing to respect; creating the file reports its own failure
    if ((info.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0) {
        failure = "the file is read-only";
        return false;
    }
    mode = info.st_mode & 07777;
    return true;
}

// Replaces the file (the final target of a link) by the table: a temporary file in the
// same folder, on disk in full, then renamed over it.
bool replaceFile(const std::string& fileName, const std::list<HiScoreEntry>& entries,
                 std::string& failure) {
    const std::string target = finalTarget(fileName, failure);
    mode_t mode = 0;
    if (target.empty() || !mayReplace(target, mode, failure))
        return false;
    const std::string text = renderTable(entries, failure);
    const std::string temp = HiScore::tempFileName(target);
    if (text.empty() || !writeDurably(temp, text, mode, failure))
        return false;
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        failure = systemError("can't replace it with '" + temp + "'");
        ::unlink(temp.c_str());
        return false;
    }
    flushFolder(target);
    return true;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace

std::string HiScore::saveFailureLine(const std::string& fileName) const {
    return "Can't save '" + fileName + "': " + saveFailure;
}

bool HiScore::save(const std::string& fileName) {
    saveFailure.clear();
    if (fileName == keptFile && exists(fileName))
        saveFailure = keptReason;
    else if (replaceFile(fileName, entries, saveFailure))
        return true;
    std::cout << saveFailureLine(fileName) << std::endl;
    return false;
}

namespace {

enum class ReadResult { Read, Missing, Failed };

// Reads at most one byte more than a table file may hold, which is enough to refuse it.
ReadResult readBounded(const std::string& fileName, std::string& bytes, std::string& failure) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        failure = std::strerror(errno);
        return ReadResult::Failed;
    }
    // A folder, a pipe or a device under that name is not a table; reading a pipe could block.
    // A file without its owner's read bit is one the player locked (root could read it).
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & S_IRUSR) == 0) {
        failure = S_ISREG(info.st_mode) ? std::strerror(EACCES) : "not a regular file";
        ::close(fd);
        return ReadResult::Failed;
    }
    char buffer[4096];
    while (bytes.size() <= HiScoreFileCheck::maxFileSize) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failure = std::strerror(errno);
            ::close(fd);
            return ReadResult::Failed;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadResult::Read;
}

bool isKeyOf(const std::string& key, const cv::FileNode& map) {
    if (!map.isMap())
        return false;
    const std::vector<std::string> keys = map.keys();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
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

// Keeps the damaged file for a look by hand, where the next save cannot overwrite it: under
// the first free name of ".bad", ".bad.1", ".bad.2", ... so an earlier one is never lost. A
// link is followed, so the link stays and the next save writes through it. False when the
// file could not be moved.
bool setAside(const std::string& fileName, const std::string& reason) {
    std::cout << "'" << fileName << "' is damaged: " << reason << "\n";
    std::string failure;
    std::string path = finalTarget(fileName, failure);
    if (path.empty())
        path = fileName;
    const std::string badName = path + ".bad";
    for (int n = 0; n < maxKeptFiles; ++n) {
        const std::string candidate = n == 0 ? badName : badName + "." + std::to_string(n);
        if (moveWithoutReplacing(path, candidate)) {
            std::cout << "Moved it to '" << candidate << "'.\n";
            return true;
        }
        if (errno != EEXIST) {
            std::cout << "Can't move it to '" << candidate << "': " << std::strerror(errno) << "\n";
            return false;
        }
    }
    std::cout << "Can't move it aside: '" << badName << "' to '.bad." << maxKeptFiles - 1
              << "' are all taken.\n";
    return false;
}

} // namespace

bool HiScore::load(const std::string& fileName) {
    clear();
    keptFile.clear();
    std::string bytes;
    std::string failure;
    switch (readBounded(fileName, bytes, failure)) {
    case ReadResult::Missing:
        std::cout << "Hiscore node is not SEQ.\n";
        return false;
    case ReadResult::Failed:
        keptFile = fileName;
        keptReason = "the game could not read it at start (" + failure + ")";
        std::cout << "Can't read '" << fileName << "': " << failure << "\n";
        std::cout << "Hiscore node is not SEQ.\n";
        return false;
    case ReadResult::Read:
        break;
    }

    const HiScoreFileCheck check(bytes);
    if (!check.ok()) {
        keepIfNotSetAside(fileName, check.reason);
        return false;
    }
    try {
        cv::FileStorage storage(check.text, cv::FileStorage::READ | cv::FileStorage::MEMORY);
        const cv::FileNode table = storage["hiscore"];
        if (table.isNone() && isKeyOf("hiscore", storage.root()))
            return true; // the library writes an empty table as an empty element
        if (!table.isSeq()) {
            std::cout << "Hiscore node is not SEQ.\n";
            return false;
        }
        for (cv::FileNodeIterator item = table.begin(); item != table.end(); ++item) {
            // An item that is not a map has no "player"; the library would throw on the lookup.
            const cv::FileNode player = (*item).isMap() ? (*item)["player"] : cv::FileNode();
            if (player.isNone())
                continue;
            HiScoreEntry entry;
            if (entry.read(player))
                insert(entry, false);
        }
        return true;
    } catch (const cv::Exception& e) {
        failure = "the library can't read it: " + libraryError(e);
    } catch (const std::exception& e) {
        failure = "the library can't read it: " + oneLine(e.what());
    }
    clear();
    keepIfNotSetAside(fileName, failure);
    return false;
}

void HiScore::keepIfNotSetAside(const std::string& fileName, const std::string& damage) {
    if (setAside(fileName, damage))
        return;
    keptFile = fileName;
    keptReason = "it is damaged and could not be moved aside";
}
