#pragma once
// The one owner of the high-score table and its file "hiscore.xml": it loads the table at
// start, ranks and saves new records, and says on the console what went wrong and why.
//
// The file is the only data the game keeps between runs, and other games may use it at the
// same time, so every save takes the file's lock, reads the table as it is on disk, inserts
// the record into that, and replaces the file in one step with a file that is completely on
// disk; records that another game saved meanwhile are kept. A damaged file is set aside as
// "hiscore.xml.bad" (".bad.1", ...) instead of being overwritten. The player's own setup is
// respected: a read-only file, one that belongs to another user, and whatever a link leads to
// that is not a table are left as they are, and a link is written through only when it is the
// player's own or root's.

#include "hiscore/HiScore.hpp"
#include "hiscore/HiScoreEntry.hpp"
#include "hiscore/SafeFile.hpp"

#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

class FileTarget;
class GamePaths;

class HiScoreStore {
public:
    static constexpr std::size_t tableSize = 8;

    // file: where the table lives; empty when the game has no place for it. paths makes the
    // folder of the per-user files before a save (null: the file's folder is not the game's
    // to make). Every message goes to console.
    HiScoreStore(std::string file, const GamePaths* paths, std::ostream& console);
    virtual ~HiScoreStore() = default;
    HiScoreStore(const HiScoreStore&) = delete;
    HiScoreStore& operator=(const HiScoreStore&) = delete;

    // The file's table, or the built-in one when there is no usable file.
    void load();

    enum class SaveResult {
        Saved,
        NotRanked, // other games saved better records meanwhile; the table shows theirs
        Refused    // the file stays as it was; the record stays in the table for this run
    };
    // Inserts the record into the table on disk and writes it back; afterwards table() is
    // that merged table. Waits at most lockWait for another game's save.
    SaveResult save(const HiScoreEntry& record);

    // The table as last loaded or saved, best first.
    const HiScore& table() const { return current; }
    // For setting up a table in tests and benchmarks; the game changes it only by save.
    HiScore& table() { return current; }
    // The file as the console names it.
    const std::string& name() const { return shownName; }

    // The last save's outcome as the player is told it ("Can't save '<file>': <reason>");
    // empty after a save that worked and before the first.
    const std::string& saveNotice() const { return notice; }

    std::chrono::milliseconds lockWait{1000};

private:
    // What the file holds.
    struct OnDisk {
        enum Kind { Table, Missing, NoTable, Damaged, Unreadable } kind = Missing;
        HiScore table;
        // Why it is damaged or unreadable.
        std::string reason;
        bool setAside = false; // Missing because it was just moved aside
    };
    OnDisk read(const SafeFile& file, std::ostream& out) const;
    // Moves a damaged file aside when the game may, reporting on the console. Call it holding
    // the file's lock. The file is then as read again, or still damaged with the reason why
    // saves are refused.
    OnDisk setAside(const FileTarget& target, const SafeFile& file, OnDisk disk);
    // Why the game may not set aside a damaged file; empty when it may.
    static std::string keepReason(const FileTarget& target, const SafeFile& file);
    // Why the file may not be replaced; empty when it may.
    static std::string refusal(const FileTarget& target, const SafeFile& file, const OnDisk& disk);
    // The table of the file at start; false when there is none to use.
    bool loadFile();
    // Why a save may not even take the lock; empty when it may.
    std::string refusalBeforeLock(const FileTarget& target, const SafeFile& file) const;
    SaveResult saveRecord(const HiScoreEntry& record, std::string& failure);
    // The rest of a save, holding the file's lock.
    SaveResult saveLocked(const FileTarget& target, const SafeFile& file,
                          const HiScoreEntry& record, std::string& failure);
    HiScore builtIn() const;

    std::string file;
    std::string shownName;
    const GamePaths* paths;
    std::ostream& console;
    HiScore current;
    std::string notice;
    // The mode, owner and group of the file last set aside, for the table that replaces it.
    std::optional<SafeFile::Attributes> formerAttributes;
};
