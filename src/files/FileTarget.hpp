#pragma once
// The file a name stands for, reached one folder at a time: every folder on the way is
// opened relative to the one before, and every symbolic link on the way is followed by
// reading it, so that whatever the game does next (read, lock, replace, move aside, clean up)
// happens in the folder that was checked, by its descriptor. Nobody can swap a folder on the
// way for a link between the check and the write: the swap no longer reaches the game.
//
// A link is written through only when it belongs to the player running the game (the
// effective user) or to root. Anyone who can write a folder on the way could otherwise point
// it at another account's files and have that account's game replace them: the attack the
// kernel's protected_symlinks rule stops in sticky world-writable folders, refused here in
// every folder. Such a link is still followed for reading; foreignLink() names it.

#include "files/FileDescriptor.hpp"
#include "files/OrRefusal.hpp"
#include "files/Refusal.hpp"

#include <optional>
#include <string>

class FileTarget {
public:
    enum class Folders {
        Existing,   // a missing folder on the way means the file is missing
        MakeMissing // a missing folder of the name itself is made, for the player alone (0700)
    };
    enum class LastLink {
        Follow, // a link in the file's own place leads to the file
        Keep    // a link in the file's own place is the file: for a file that must be new
    };
    // Walks the name from the working folder (or from / for an absolute name). A folder is
    // made only before any link of another user has been met, and never inside what a link
    // leads to. Refused when a link cannot be followed or a folder cannot be opened or made.
    static OrRefusal<FileTarget> find(const std::string& name, Folders folders = Folders::Existing,
                                      LastLink lastLink = LastLink::Follow);

    // The folder of the final file, open for the *at calls (not for reading its list); not
    // valid when a folder on the way is missing.
    const FileDescriptor& folder() const { return m_folder; }
    // The final file's name in that folder.
    const std::string& name() const { return m_name; }
    // The final file by a path without links, as messages name it.
    const std::string& path() const { return m_path; }
    // True when the name itself (or the target of its link) is a link, which may lead to
    // any file; a link among the folders on the way does not count.
    bool throughLink() const { return m_throughLink; }
    // The first link on the way owned by neither the player nor root; empty when none is.
    const std::string& foreignLink() const { return m_foreignLink; }

    // Why nothing may be written through this name; nothing when it may.
    std::optional<Refusal> writeRefusal() const;

private:
    struct Walk;
    FileTarget() = default;

    FileDescriptor m_folder;
    std::string m_name;
    std::string m_path;
    bool m_throughLink = false;
    std::string m_foreignLink;
};
