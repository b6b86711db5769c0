#include "files/FileDescriptor.hpp"

#include <unistd.h>
#include <utility>

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        close();
        fd = std::exchange(other.fd, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    close();
}

bool FileDescriptor::close() {
    if (fd < 0)
        return true;
    return ::close(std::exchange(fd, -1)) == 0;
}

int FileDescriptor::release() {
    return std::exchange(fd, -1);
}
