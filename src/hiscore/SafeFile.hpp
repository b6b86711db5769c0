#pragma once
// The operations on a file the player owns, by a path without links (see FileTarget): a read
// that is bounded and never blocks, the move aside of a damaged file under a name that
// overwrites nothing, and the replacement by new content that lands whole or not at all and
// keeps the file's mode, owner and group.

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
    };

    explicit SafeFile(std::string path);
    virtual ~SafeFile() = default;

    enum class ReadResult { Read, Missing, Failed };
    // Reads at most `limit` + 1 bytes, which is enough to refuse a file that is too large. A
    // folder, a pipe or a device is not read (a pipe could block), nor a file without its
    // owner's read bit (that is how a player locks it away; root could read it all the same).
    ReadResult read(std::size_t limit, std::string& bytes, std::string& failure) const;

    // The file's attributes; nothing when there is no file.
    std::optional<Attributes> attributes() const;
    // Why the game must leave the file as it is (neither replace it nor move it aside), as a
    // short phrase; empty when it may, or when there is no file. The owner's write bit decides
    // first: that is how a player freezes a file, and root's access check allows everything.
    std::string keepReason() const;

    enum class AsideResult { Moved, Vanished, Failed };
    // Moves the file to the first free name of ".bad", ".bad.1", ".bad.2", ... so that no
    // file kept before is overwritten. `movedTo` gets the name it was moved or failed to move
    // to (empty when every name is taken), `failure` the reason. Vanished: the file was gone,
    // moved by another game.
    AsideResult setAside(std::string& movedTo, std::string& failure) const;

    // Puts text in place of the file: written to a temporary file beside it, flushed to disk,
    // given the mode, owner and group (the file's own, nothing for a new file's usual ones),
    // then renamed over it. False with the reason when any step fails; the file is then as it
    // was and no temporary file remains.
    bool replace(const std::string& text, const std::optional<Attributes>& kept,
                 std::string& failure) const;

    // Removes the temporary files a save of this file leaves behind only when it is killed;
    // call it only while holding the file's lock, which every save holds while its own exists.
    void removeStaleTemporaries() const;

    const std::string path;
};
