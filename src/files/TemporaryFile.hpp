#pragma once
// A temporary file beside the file it is to become, "<name>.dravolt-tmp.XXXXXX": created
// exclusively, never through a link, under a random name no other game picks at the same
// time and no person would choose, in the same folder (by its descriptor) so that the rename
// to its final name is atomic. Removed when destroyed, unless it has become that file.

#include "files/FileDescriptor.hpp"
#include "files/OrRefusal.hpp"

#include <string>

class TemporaryFile {
public:
    // Creates the file in `folder` (which must outlive it) for the file `finalName` there.
    static OrRefusal<TemporaryFile> create(const FileDescriptor& folder,
                                           const std::string& finalName);
    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    virtual ~TemporaryFile();

    // True when a name in a folder is one of the temporary files of the file `finalName`.
    static bool isTemporaryOf(const std::string& name, const std::string& finalName);

    int descriptor() const { return m_fd.get(); }
    // The file's own name in its folder.
    const std::string& name() const { return m_ownName; }
    // Closes the file; false (errno set) when the close reports a failed write.
    bool close() { return m_fd.close(); }
    // Renames the file to its final name, over a file of that name; false (errno set) when
    // that fails, and the file then stays temporary.
    bool replaceFinal();
    // Renames the file to its final name only when no file has that name: false with EEXIST
    // when one has.
    bool becomeNew();

private:
    TemporaryFile(const FileDescriptor& folder, std::string finalName, std::string ownName,
                  FileDescriptor fd);

    const FileDescriptor& m_folder;
    std::string m_finalName;
    std::string m_ownName;
    FileDescriptor m_fd;
    bool m_done = false;
};
