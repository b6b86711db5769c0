#include "hiscore/HiScoreStore.hpp"

#include "core/GamePaths.hpp"
#include "files/FileTarget.hpp"
#include "files/SafeFile.hpp"
#include "files/TurnLock.hpp"
#include "hiscore/HiScoreXml.hpp"

#include <utility>

using Action = TablePolicy::Action;
using Moment = TablePolicy::Moment;
using State = TablePolicy::State;

namespace {
// How often a file that vanishes while it is being set aside is read again: each time,
// another game moved it first.
constexpr int maxVanished = 3;

OrRefusal<TurnLock> lockOf(const FileTarget& target, std::chrono::milliseconds wait) {
    return TurnLock::take(target.folder(), target.name(), target.path(), wait);
}
} // namespace

HiScoreStore::HiScoreStore(std::string tableFile, const GamePaths* gamePaths, std::ostream& out,
                           std::chrono::milliseconds wait)
    : m_file(std::move(tableFile)), m_shownName(m_file.empty() ? "hiscore.xml" : m_file),
      m_paths(gamePaths), m_console(out), m_lockWait(wait), m_table(builtIn()) {}

HiScore HiScoreStore::builtIn() const {
    HiScore table;
    table.setMaxEntries(tableSize);
    return table;
}

State HiScoreStore::examine(const FileTarget& target, const SafeFile& safe,
                            std::ostream& out) const {
    State state;
    state.table.setMaxEntries(tableSize);
    state.table.clear();
    state.throughLink = target.throughLink();
    state.foreignLink = target.writeRefusal();
    state.file = safe.status();
    const OrRefusal<std::optional<std::string>> bytes = safe.read(HiScoreXml::maxFileSize);
    if (!bytes.ok()) {
        state.kind = State::Unreadable;
        state.reason = bytes.refusal().why();
        return state;
    }
    if (!bytes.value()) {
        state.kind = State::Missing;
        return state;
    }
    switch (HiScoreXml::read(*bytes.value(), state.table, out, state.reason)) {
    case HiScoreXml::Found::Table:
        state.kind = State::Table;
        break;
    case HiScoreXml::Found::NoTable:
        state.kind = State::NoTable;
        break;
    case HiScoreXml::Found::Damaged:
        state.kind = State::Damaged;
        break;
    }
    return state;
}

HiScoreStore::Aside HiScoreStore::setAside(const FileTarget& target, const SafeFile& safe,
                                           State& state) {
    const Refusal notMoved("it is damaged and could not be moved aside");
    for (int vanished = 0; state.kind == State::Damaged && vanished < maxVanished; ++vanished) {
        m_console << "'" << m_shownName << "' is damaged: " << state.reason << "\n";
        const TablePolicy::Decision decision = TablePolicy::decide(state, Moment::Start);
        if (decision.action == Action::Keep) {
            m_console << "The game leaves it as it is: " << decision.why->why() << ".\n";
            return {false, TablePolicy::decide(state, Moment::Save).why};
        }
        const SafeFile::Aside aside = safe.setAside();
        switch (aside.outcome) {
        case SafeFile::Aside::Moved:
            m_console << "Moved it to '" << aside.movedTo << "'.\n";
            state.kind = State::Missing;
            state.file = SafeFile::Status();
            return {true, std::nullopt};
        case SafeFile::Aside::Vanished:
            // Another game moved it first; what is there now is what counts.
            state = examine(target, safe, m_console);
            break;
        case SafeFile::Aside::Failed:
            m_console << (aside.movedTo.empty() ? "Can't move it aside: "
                                                : "Can't move it to '" + aside.movedTo + "': ")
                      << aside.failure->why() << "\n";
            return {false, notMoved};
        }
    }
    if (state.kind == State::Damaged)
        return {false, notMoved};
    return {false, std::nullopt};
}

void HiScoreStore::load() {
    if (!loadFile()) {
        m_console << "Can't load '" << m_shownName << "'. Setting HISCOREs to defaults..\n"
                  << std::flush;
        m_table = builtIn();
    }
}

bool HiScoreStore::loadFile() {
    m_table.clear();
    if (m_file.empty()) {
        m_console << "Hiscore node is not SEQ.\n";
        return false;
    }
    const OrRefusal<FileTarget> found = FileTarget::find(m_file);
    if (!found.ok()) {
        m_console << "Can't read '" << m_shownName << "': " << found.refusal().why() << "\n"
                  << "Hiscore node is not SEQ.\n";
        return false;
    }
    const FileTarget& target = found.value();
    const SafeFile safe(target);
    State state = examine(target, safe, m_console);
    if (TablePolicy::decide(state, Moment::Start).action == Action::SetAside) {
        const OrRefusal<TurnLock> lock = lockOf(target, m_lockWait);
        if (!lock.ok()) {
            m_console << "'" << m_shownName << "' is damaged: " << state.reason << "\n"
                      << "Can't move it aside: " << lock.refusal().why() << "\n";
            return false;
        }
        state = examine(target, safe, m_console); // again: another game may have moved it
        const Aside aside = setAside(target, safe, state);
        if (aside.moved || aside.refused)
            return false;
    }
    const TablePolicy::Decision decision = TablePolicy::decide(state, Moment::Start);
    switch (decision.action) {
    case Action::Use:
        m_table = std::move(state.table);
        return true;
    case Action::Keep:
        m_console << "'" << m_shownName << "' is damaged: " << state.reason << "\n"
                  << "The game leaves it as it is: " << decision.why->why() << ".\n";
        return false;
    case Action::BuiltIn:
        if (state.kind == State::Unreadable)
            m_console << "Can't read '" << m_shownName << "': " << state.reason << "\n";
        m_console << "Hiscore node is not SEQ.\n";
        return false;
    case Action::SetAside: // damaged again after every move: another game keeps replacing it
    case Action::Refuse:
        return false;
    }
    return false;
}

HiScoreStore::SaveResult HiScoreStore::save(const HiScoreEntry& record) {
    const Outcome outcome = saveRecord(record);
    switch (outcome.result) {
    case SaveResult::Saved:
        m_saveNotice.clear();
        return outcome.result;
    case SaveResult::NotRanked:
        m_saveNotice = "Your record no longer ranks: other games saved better ones in '" +
                       m_shownName + "' meanwhile.";
        break;
    case SaveResult::Refused:
        m_saveNotice = "Can't save '" + m_shownName + "': " + outcome.refusal->why();
        break;
    }
    m_console << m_saveNotice << std::endl;
    return outcome.result;
}

HiScoreStore::Outcome HiScoreStore::refuse(const HiScoreEntry& record, Refusal why) {
    if (m_table.insert(record, false) >= 0)
        m_unsaved.push_back(record);
    return {SaveResult::Refused, std::move(why)};
}

HiScoreStore::Outcome HiScoreStore::saveRecord(const HiScoreEntry& record) {
    if (m_paths && m_paths->writesNowhere())
        return refuse(record, Refusal("there is no home folder to keep it in"));
    if (m_file.empty())
        return refuse(record, Refusal("there is no place to keep it"));
    const OrRefusal<FileTarget> found = FileTarget::find(
        m_file, m_paths ? FileTarget::Folders::MakeMissing : FileTarget::Folders::Existing);
    if (!found.ok())
        return refuse(record, found.refusal());
    const FileTarget& target = found.value();
    const SafeFile safe(target);
    // Through another user's link, or beside a file that a link leads to, not even a lock file
    // is made unless the game may write there.
    if (target.throughLink() || target.writeRefusal()) {
        std::ostream quiet(nullptr);
        const TablePolicy::Decision seen =
            TablePolicy::decide(examine(target, safe, quiet), Moment::Save);
        if (seen.action == Action::Refuse)
            return refuse(record, *seen.why);
    }
    const OrRefusal<TurnLock> lock = lockOf(target, m_lockWait);
    if (!lock.ok())
        return refuse(record, lock.refusal());
    return saveLocked(target, safe, record);
}

HiScoreStore::Outcome HiScoreStore::saveLocked(const FileTarget& target, const SafeFile& safe,
                                               const HiScoreEntry& record) {
    safe.removeStaleTemporaries();
    std::ostream quiet(nullptr); // the entries' messages were given at start
    State state = examine(target, safe, quiet);
    TablePolicy::Decision decision = TablePolicy::decide(state, Moment::Save);
    if (decision.action == Action::SetAside) {
        if (std::optional<Refusal> refused = setAside(target, safe, state).refused)
            decision = {Action::Refuse, refused};
        else
            decision = TablePolicy::decide(state, Moment::Save);
    }
    if (decision.action == Action::Refuse) {
        // The table on disk is what the record ranks against; when there is none to read,
        // the table of this run.
        if (state.kind == State::Table) {
            m_table = std::move(state.table);
            for (const HiScoreEntry& earlier : m_unsaved)
                m_table.insert(earlier, false);
        }
        if (m_table.rank(record) < 0)
            return {SaveResult::NotRanked, std::nullopt};
        return refuse(record, *decision.why);
    }
    HiScore merged = decision.action == Action::Use ? std::move(state.table) : builtIn();
    bool earlierRank = false;
    for (const HiScoreEntry& earlier : m_unsaved)
        earlierRank = merged.insert(earlier, false) >= 0 || earlierRank;
    const bool ranks = merged.insert(record, false) >= 0;
    m_table = merged;
    if (!ranks && !earlierRank) {
        m_unsaved.clear(); // none of them ranks any longer
        return {SaveResult::NotRanked, std::nullopt};
    }
    const OrRefusal<std::string> text = HiScoreXml::write(merged);
    const std::optional<Refusal> refused =
        !text.ok()
            ? text.refusal()
            : safe.replace(text.value(), state.file.exists ? std::optional(state.file.attributes)
                                                           : safe.setAsideAttributes());
    if (refused) {
        if (!ranks)
            return {SaveResult::NotRanked, std::nullopt};
        m_unsaved.push_back(record);
        return {SaveResult::Refused, refused};
    }
    m_unsaved.clear(); // saved with this one
    return {ranks ? SaveResult::Saved : SaveResult::NotRanked, std::nullopt};
}
