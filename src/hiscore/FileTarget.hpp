#pragma once
// The file a name stands for, with every symbolic link on the way followed (in the name's
// folders as well as at its end), and whether the game may write through those links.
//
// A link is written through only when it belongs to the player running the game (the
// effective user) or to root. Anyone who can write the game's folder could otherwise point
// "hiscore.xml" at another account's files and have that account's game replace them: the
// attack the kernel's protected_symlinks rule stops in sticky world-writable folders, refused
// here in every folder.

#include <string>

class FileTarget {
public:
    explicit FileTarget(const std::string& name);
    virtual ~FileTarget() = default;

    // The final file, by a path without links, whether or not it exists; empty when the name
    // cannot be followed (failure says why).
    std::string path;
    std::string failure;
    // True when the name itself (or the target of its link) is a link, which may lead to
    // any file; a link among the folders on the way does not count.
    bool throughLink = false;
    // The first link on the way owned by neither the player nor root; empty when none is.
    std::string foreignLink;

    // Why nothing may be written through this name, as a short phrase; empty when it may.
    std::string writeRefusal() const;
};
