#pragma once
// A temporary file beside the file it is to replace, "<file>.XXXXXX.tmp": created exclusively
// under a name no other game can pick at the same time (mkstemps), in the same folder so that
// the rename over the file is atomic. Removed when destroyed, unless it has become the file.

#include "hiscore/FileDescriptor.hpp"

#include <string>

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& replaced);
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    virtual ~TemporaryFile();

    // True when a name matches the pattern of the temporary files of `replaced`, as the
    // file's own name in its folder.
    static bool isTemporaryOf(const std::string& name, const std::string& replacedName);

    bool created() const { return fd.valid(); }
    int descriptor() const { return fd.get(); }
    const std::string& name() const { return path; }
    // Closes the file; false (errno set) when the close reports a failed write.
    bool close() { return fd.close(); }
    // Renames the file over `replaced`; false (errno set) when that fails, and the file then
    // stays temporary.
    bool replace();

    // Why the file could not be created; empty when it was.
    std::string failure;

private:
    std::string replaced;
    std::string path;
    FileDescriptor fd;
    bool done = false;
};
