#pragma once
// The operations on one file of the player's, in a folder reached safely (see FileTarget) and
// always by that folder's descriptor: a read that is bounded and never blocks, the move aside
// of a damaged file under a name that overwrites nothing, the replacement by new content that
// lands whole or not at all and keeps the file's mode, owner and group, and the making of a
// file that must be new. Nothing here follows a link, nor removes a file the game did not
// make.

#include "files/FileTarget.hpp"
#include "files/OrRefusal.hpp"
#include "files/Refusal.hpp"

#include <optional>
#include <string>
#include <sys/types.h>

class SafeFile {
public:
    // Mode, owner and group, which a replacement keeps.
    struct Attributes {
        mode_t mode = 0;
        uid_t owner = 0;
        gid_t group = 0;
        bool operator==(const Attributes& other) const;
    };
    // What the file is, by the file itself and not by what the player may do with it.
    struct Status {
        bool exists = false;
        // A plain file (not a folder, pipe, device or link).
        bool regular = false;
        // Without its owner's write bit (that is how a player freezes a file: root's access
        // check allows everything), or not writable for the game at all.
        bool readOnly = false;
        // Another user's, and the game does not run as root: a new file could not be given
        // that ownership, and the owner would lose it.
        bool foreignOwner = false;
        Attributes attributes;
    };

    // The file `target` names; the target must outlive this.
    explicit SafeFile(const FileTarget& target);
    virtual ~SafeFile() = default;

    Status status() const;

    // The file's bytes, nothing when there is no file, or why it cannot be read. Reads at
    // most `limit` bytes and one buffer more, enough to tell that a file is too large. A
    // folder, a pipe or a device is not read (a pipe could block), nor a file without its
    // owner's read bit (that is how a player locks it away; root could read it all the same).
    OrRefusal<std::optional<std::string>> read(std::size_t limit) const;

    struct Aside {
        enum Outcome { Moved, Vanished, Failed } outcome = Failed;
        // The name it was moved or failed to move to; empty when every name is taken.
        std::string movedTo;
        std::optional<Refusal> failure;
    };
    // Moves the file to the first free name of ".bad", ".bad.1", ".bad.2", ... so that no
    // file kept before is overwritten. Vanished: the file was gone, moved by another game.
    Aside setAside() const;
    // The mode, owner and group of the file most recently set aside, for a file that takes
    // its place. For a player only a file of their own counts: the new file could not be given
    // to anybody else. Root keeps any owner, as it does for the file itself.
    std::optional<Attributes> setAsideAttributes() const;

    // Puts text in place of the file: written to a temporary file beside it, flushed to disk,
    // given the mode, owner and group (the file's own, nothing for a new file's usual ones),
    // then renamed over it. On a refusal the file is as it was and no temporary file remains.
    std::optional<Refusal> replace(const std::string& text,
                                   const std::optional<Attributes>& kept) const;
    // Makes the file with these bytes, only when no file of its name exists: written to a
    // temporary file and renamed to the name without replacing anything, so that a link
    // planted under the name is never written through.
    std::optional<Refusal> createNew(const std::string& bytes) const;

    // Removes the temporary files of this file that a save leaves behind only when it is
    // killed, and only the player's own; call it only while holding the file's lock, which
    // every save holds while its own exists.
    void removeStaleTemporaries() const;

    // A file beside this one, as messages name it.
    std::string beside(const std::string& name) const;

private:
    const FileTarget& m_target;
};
