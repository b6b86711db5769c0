#include "hiscore/TablePolicy.hpp"

namespace {
const char* const notATable = "it links to a file that is not a table";
} // namespace

std::optional<Refusal> TablePolicy::keepReason(const State& file) {
    // Whatever a link leads to may be anybody's file; only a table there is the game's own.
    if (file.throughLink)
        return Refusal("it is reached through a link");
    if (file.foreignLink)
        return file.foreignLink;
    return writeReason(file);
}

std::optional<Refusal> TablePolicy::writeReason(const State& file) {
    if (!file.file.exists)
        return std::nullopt;
    if (file.file.readOnly)
        return Refusal("the file is read-only");
    if (file.file.foreignOwner)
        return Refusal("the file belongs to another user");
    return std::nullopt;
}

TablePolicy::Decision TablePolicy::decide(const State& file, Moment moment) {
    const bool atStart = moment == Moment::Start;
    // Reached through another user's link: read, never written.
    if (!atStart && file.foreignLink)
        return {Action::Refuse, file.foreignLink};
    switch (file.kind) {
    case State::Missing: // the built-in table; a new file
        return {Action::BuiltIn, std::nullopt};
    case State::Unreadable: // the built-in table; refused
        if (atStart)
            return {Action::BuiltIn, std::nullopt};
        return {Action::Refuse, Refusal("the game can't read it (" + file.reason + ")")};
    case State::Damaged: // set aside, unless the game must leave it as it is
        if (std::optional<Refusal> keep = keepReason(file)) {
            if (atStart)
                return {Action::Keep, keep};
            if (file.throughLink)
                return {Action::Refuse, Refusal(notATable)};
            return {Action::Refuse, Refusal("it is damaged, and " + keep->why())};
        }
        return {Action::SetAside, std::nullopt};
    case State::NoTable: // the built-in table; replaced, unless a link leads to it
        if (!atStart && file.throughLink)
            return {Action::Refuse, Refusal(notATable)};
        break;
    case State::Table: // used; replaced
        break;
    }
    // A table, or a document without one: replaced unless read-only or another user's.
    const Action use = file.kind == State::Table ? Action::Use : Action::BuiltIn;
    if (atStart)
        return {use, std::nullopt};
    if (std::optional<Refusal> refused = writeReason(file))
        return {Action::Refuse, refused};
    return {use, std::nullopt};
}
