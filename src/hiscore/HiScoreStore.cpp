#include "hiscore/HiScoreStore.hpp"

#include "core/GamePaths.hpp"
#include "hiscore/FileLock.hpp"
#include "hiscore/FileTarget.hpp"
#include "hiscore/HiScoreXml.hpp"

#include <utility>

namespace {
// How often a file that vanishes while it is being set aside is read again: each time,
// another game moved it first.
constexpr int maxVanished = 3;
const char* const notATable = "it links to a file that is not a table";
} // namespace

HiScoreStore::HiScoreStore(std::string tableFile, const GamePaths* gamePaths, std::ostream& out)
    : file(std::move(tableFile)), shownName(file.empty() ? "hiscore.xml" : file), paths(gamePaths),
      console(out), current(builtIn()) {}

HiScore HiScoreStore::builtIn() const {
    HiScore table;
    table.setMaxEntries(tableSize);
    return table;
}

HiScoreStore::OnDisk HiScoreStore::read(const SafeFile& safe, std::ostream& out) const {
    OnDisk disk;
    disk.table.setMaxEntries(tableSize);
    disk.table.clear();
    std::string bytes;
    switch (safe.read(HiScoreXml::maxFileSize, bytes, disk.reason)) {
    case SafeFile::ReadResult::Missing:
        disk.kind = OnDisk::Missing;
        return disk;
    case SafeFile::ReadResult::Failed:
        disk.kind = OnDisk::Unreadable;
        return disk;
    case SafeFile::ReadResult::Read:
        break;
    }
    switch (HiScoreXml::read(bytes, disk.table, out, disk.reason)) {
    case HiScoreXml::Found::Table:
        disk.kind = OnDisk::Table;
        break;
    case HiScoreXml::Found::NoTable:
        disk.kind = OnDisk::NoTable;
        break;
    case HiScoreXml::Found::Damaged:
        disk.kind = OnDisk::Damaged;
        break;
    }
    return disk;
}

std::string HiScoreStore::keepReason(const FileTarget& target, const SafeFile& safe) {
    // Whatever a link leads to may be anybody's file; only a table there is the game's own.
    if (target.throughLink)
        return "it is reached through a link";
    return safe.keepReason();
}

HiScoreStore::OnDisk HiScoreStore::setAside(const FileTarget& target, const SafeFile& safe,
                                            OnDisk disk) {
    for (int vanished = 0; disk.kind == OnDisk::Damaged && vanished < maxVanished; ++vanished) {
        console << "'" << shownName << "' is damaged: " << disk.reason << "\n";
        const std::string keep = keepReason(target, safe);
        if (!keep.empty()) {
            console << "The game leaves it as it is: " << keep << ".\n";
            disk.reason = target.throughLink ? notATable : "it is damaged, and " + keep;
            return disk;
        }
        const std::optional<SafeFile::Attributes> attributes = safe.attributes();
        std::string movedTo;
        std::string failure;
        switch (safe.setAside(movedTo, failure)) {
        case SafeFile::AsideResult::Moved:
            console << "Moved it to '" << movedTo << "'.\n";
            formerAttributes = attributes;
            disk.kind = OnDisk::Missing;
            disk.setAside = true;
            return disk;
        case SafeFile::AsideResult::Vanished:
            // Another game moved it first; what is there now is what counts.
            disk = read(safe, console);
            break;
        case SafeFile::AsideResult::Failed:
            console << (movedTo.empty() ? "Can't move it aside: "
                                        : "Can't move it to '" + movedTo + "': ")
                    << failure << "\n";
            disk.reason = "it is damaged and could not be moved aside";
            return disk;
        }
    }
    if (disk.kind == OnDisk::Damaged)
        disk.reason = "it is damaged and could not be moved aside";
    return disk;
}

std::string HiScoreStore::refusal(const FileTarget& target, const SafeFile& safe,
                                  const OnDisk& disk) {
    switch (disk.kind) {
    case OnDisk::Unreadable:
        return "the game can't read it (" + disk.reason + ")";
    case OnDisk::Damaged:
    case OnDisk::NoTable:
        if (target.throughLink)
            return notATable;
        if (disk.kind == OnDisk::Damaged)
            return disk.reason;
        break;
    case OnDisk::Table:
    case OnDisk::Missing:
        break;
    }
    return safe.keepReason();
}

void HiScoreStore::load() {
    if (!loadFile()) {
        console << "Can't load '" << shownName << "'. Setting HISCOREs to defaults..\n"
                << std::flush;
        current = builtIn();
    }
}

bool HiScoreStore::loadFile() {
    current.clear();
    const FileTarget target(file);
    if (file.empty() || !target.failure.empty()) {
        if (!file.empty())
            console << "Can't read '" << shownName << "': " << target.failure << "\n";
        console << "Hiscore node is not SEQ.\n";
        return false;
    }
    const SafeFile safe(target.path);
    OnDisk disk = read(safe, console);
    if (disk.kind == OnDisk::Damaged) {
        const std::string keep = keepReason(target, safe);
        std::optional<FileLock> lock;
        if (keep.empty())
            lock.emplace(safe.path + ".lock", lockWait);
        if (lock && !lock->held()) {
            console << "'" << shownName << "' is damaged: " << disk.reason << "\n"
                    << "Can't move it aside: " << lock->failure << "\n";
        } else {
            // Read again under the lock: another game may have set it aside or replaced it.
            disk = setAside(target, safe, lock ? read(safe, console) : std::move(disk));
        }
    }
    switch (disk.kind) {
    case OnDisk::Table:
        current = std::move(disk.table);
        return true;
    case OnDisk::Unreadable:
        console << "Can't read '" << shownName << "': " << disk.reason << "\n";
        break;
    case OnDisk::Damaged:
        return false;
    case OnDisk::Missing:
        if (disk.setAside)
            return false;
        break;
    case OnDisk::NoTable:
        break;
    }
    console << "Hiscore node is not SEQ.\n";
    return false;
}

HiScoreStore::SaveResult HiScoreStore::save(const HiScoreEntry& record) {
    std::string failure;
    const SaveResult result = saveRecord(record, failure);
    switch (result) {
    case SaveResult::Saved:
        notice.clear();
        return result;
    case SaveResult::NotRanked:
        notice = "Your record no longer ranks: other games saved better ones in '" + shownName +
                 "' meanwhile.";
        break;
    case SaveResult::Refused:
        notice = "Can't save '" + shownName + "': " + failure;
        break;
    }
    console << notice << std::endl;
    return result;
}

std::string HiScoreStore::refusalBeforeLock(const FileTarget& target, const SafeFile& safe) const {
    std::string failure;
    if (paths && !paths->makeWriteFolder(failure))
        return failure;
    if (file.empty())
        return "there is no place to keep it";
    failure = target.writeRefusal();
    // Beside a file that a link leads to, not even a lock file is made unless it is a table.
    if (failure.empty() && target.throughLink) {
        std::ostream quiet(nullptr);
        const OnDisk seen = read(safe, quiet);
        if (seen.kind != OnDisk::Table && seen.kind != OnDisk::Missing)
            failure = refusal(target, safe, seen);
    }
    return failure;
}

HiScoreStore::SaveResult HiScoreStore::saveRecord(const HiScoreEntry& record,
                                                  std::string& failure) {
    const FileTarget target(file);
    const SafeFile safe(target.path);
    failure = refusalBeforeLock(target, safe);
    std::optional<FileLock> lock;
    if (failure.empty()) {
        lock.emplace(target.path + ".lock", lockWait);
        failure = lock->failure;
    }
    if (!failure.empty()) {
        current.insert(record, false); // the record stays in the table of this run
        return SaveResult::Refused;
    }
    return saveLocked(target, safe, record, failure);
}

HiScoreStore::SaveResult HiScoreStore::saveLocked(const FileTarget& target, const SafeFile& safe,
                                                  const HiScoreEntry& record,
                                                  std::string& failure) {
    safe.removeStaleTemporaries();
    std::ostream quiet(nullptr); // the entries' messages were given at start
    const OnDisk disk = setAside(target, safe, read(safe, quiet));
    failure = refusal(target, safe, disk);
    // The table on disk is the one to add to; when it cannot be read, the record stays in the
    // table of this run.
    if (disk.kind == OnDisk::Table)
        current = disk.table;
    else if (failure.empty())
        current = builtIn();
    if (current.insert(record, false) < 0)
        return SaveResult::NotRanked;
    if (!failure.empty())
        return SaveResult::Refused;
    const std::string text = HiScoreXml::write(current, failure);
    if (text.empty())
        return SaveResult::Refused;
    std::optional<SafeFile::Attributes> kept = safe.attributes();
    if (!kept)
        kept = formerAttributes;
    return safe.replace(text, kept, failure) ? SaveResult::Saved : SaveResult::Refused;
}
