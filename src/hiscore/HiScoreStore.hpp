#pragma once
// The one owner of the high-score table and its file "hiscore.xml": it loads the table at
// start, ranks and saves new records, and says on the console what went wrong and why.
//
// The file is the only data the game keeps between runs, and other games may use it at the
// same time, so every save takes the file's lock, reads the table as it is on disk, inserts
// the record into that, and replaces the file in one step with a file that is completely on
// disk; records that another game saved meanwhile are kept. A damaged file is set aside as
// "hiscore.xml.bad" (".bad.1", ...) instead of being overwritten. The player's own setup is
// respected: what the game does with each kind of file is TablePolicy's decision. Every step
// after the file's folder has been found works on that folder's descriptor (FileTarget).

#include "hiscore/HiScore.hpp"
#include "hiscore/HiScoreEntry.hpp"
#include "hiscore/TablePolicy.hpp"

#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class FileTarget;
class GamePaths;
class SafeFile;

class HiScoreStore {
public:
    static constexpr std::size_t tableSize = 8;

    // file: where the table lives; empty when the game has no place for it. paths makes the
    // folder of the per-user files before a save (null: the file's folder is not the game's
    // to make). Every message goes to console. A save waits at most lockWait for another
    // game's.
    HiScoreStore(std::string file, const GamePaths* paths, std::ostream& console,
                 std::chrono::milliseconds lockWait = std::chrono::seconds(1));
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
    // that merged table. Records refused earlier in this run go in with it where they rank.
    SaveResult save(const HiScoreEntry& record);

    // The table as last loaded or saved, best first.
    const HiScore& table() const { return m_table; }

    // The last save's outcome as the player is told it ("Can't save '<file>': <reason>");
    // empty after a save that worked and before the first.
    const std::string& saveNotice() const { return m_saveNotice; }

private:
    // Reads what the file is; `out` gets the entries' messages.
    TablePolicy::State examine(const FileTarget& target, const SafeFile& file,
                               std::ostream& out) const;
    struct Aside {
        bool moved = false;             // by this game: the file is now missing
        std::optional<Refusal> refused; // why a save is refused: the file was kept
    };
    // Moves a damaged file aside, holding its lock, reporting on the console; the state is
    // then what the file is now.
    Aside setAside(const FileTarget& target, const SafeFile& file, TablePolicy::State& state);
    // The table of the file at start; false when there is none to use.
    bool loadFile();
    struct Outcome {
        SaveResult result;
        std::optional<Refusal> refusal;
    };
    Outcome saveRecord(const HiScoreEntry& record);
    // Refuses the save: the record stays in the table of this run, and goes in with the next
    // save that works.
    Outcome refuse(const HiScoreEntry& record, Refusal why);
    // The rest of a save, holding the file's lock.
    Outcome saveLocked(const FileTarget& target, const SafeFile& file, const HiScoreEntry& record);
    HiScore builtIn() const;

    std::string m_file;
    std::string m_shownName;
    const GamePaths* m_paths;
    std::ostream& m_console;
    std::chrono::milliseconds m_lockWait;
    HiScore m_table;
    // Records of this run that were refused, oldest first.
    std::vector<HiScoreEntry> m_unsaved;
    std::string m_saveNotice;
};
