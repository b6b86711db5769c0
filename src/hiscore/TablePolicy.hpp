#pragma once
// What the game does with the file where its table should be: one decision, from what the
// file is, at the start of a game and at a save. The README's table of the same rules:
//
//   hiscore.xml is                            at start                at a save
//   missing                                   the built-in table      a new file
//   a table                                   its records             replaced, with the record
//   a document without the table              the built-in table      replaced
//   damaged                                   set aside               set aside, then a new file
//   damaged, and read-only, another user's,   left as it is           refused
//     or reached through a link
//   a table that is read-only or another      its records             refused
//     user's
//   not readable (no read bit, not a file)    the built-in table      refused
//   a link to what is not a table             the built-in table      refused
//   reached through another user's link       read                    refused
//
// Read-only means without the owner's write bit (or not writable at all); another user's
// counts only for a game that does not run as root, which keeps the owner.

#include "files/Refusal.hpp"
#include "files/SafeFile.hpp"
#include "hiscore/HiScore.hpp"

#include <optional>
#include <string>

class TablePolicy {
public:
    // What the file is, worked out once from the file itself.
    struct State {
        enum Kind { Missing, Table, NoTable, Damaged, Unreadable } kind = Missing;
        HiScore table;      // the file's entries when it is a table
        std::string reason; // why it is damaged or unreadable
        bool throughLink = false;
        // Why nothing may be written through the links on the way (one is another user's).
        std::optional<Refusal> foreignLink;
        SafeFile::Status file;
    };

    enum class Moment { Start, Save };
    enum class Action {
        Use,      // the file's table (at a save: the table to add the record to)
        BuiltIn,  // the built-in table (at a save: the one to add the record to)
        SetAside, // move the damaged file aside, then decide again
        Keep,     // leave the damaged file as it is, and play with the built-in table
        Refuse    // no save: the file stays as it is
    };
    struct Decision {
        Action action;
        // Why a damaged file is kept, or a save refused.
        std::optional<Refusal> why;
    };

    static Decision decide(const State& file, Moment moment);

private:
    // Why the game may not move a damaged file aside; nothing when it may.
    static std::optional<Refusal> keepReason(const State& file);
    // Why the game may not write the file in place; nothing when it may.
    static std::optional<Refusal> writeReason(const State& file);
};
