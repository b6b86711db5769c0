#pragma once
// An open file descriptor that closes itself. Every file and folder the careful file work
// opens (a table, a temporary file, a lock, each folder on the way) is held by one, so no
// early return leaks it.

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : m_fd(descriptor) {}
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    virtual ~FileDescriptor();

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    // Closes now; false, with errno set, when the close reports an error (a write that the
    // file system could not complete).
    bool close();
    // Gives the descriptor up without closing it, to an owner of another kind.
    int release();

private:
    int m_fd = -1;
};
