#include "files/TemporaryFile.hpp"

#include "files/Rename.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/random.h>
#include <unistd.h>
#include <utility>

namespace {
const std::string infix = ".dravolt-tmp.";
constexpr std::size_t randomLength = 6;
constexpr std::string_view letters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// 62^6 names: a clash with another game's file is rare, a hundred in a row impossible.
constexpr int maxTries = 100;

std::string randomPart() {
    unsigned char bytes[randomLength];
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // Without the kernel's generator the name is still unique enough to be retried.
        for (std::size_t i = 0; i < randomLength; ++i)
            bytes[i] = static_cast<unsigned char>(std::rand());
    }
    std::string part;
    for (const unsigned char byte : bytes)
        part += letters[byte % letters.size()];
    return part;
}
} // namespace

TemporaryFile::TemporaryFile(const FileDescriptor& in, std::string final, std::string own,
                             FileDescriptor file)
    : folder(in), finalName(std::move(final)), ownName(std::move(own)), fd(std::move(file)) {}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : folder(other.folder), finalName(std::move(other.finalName)),
      ownName(std::move(other.ownName)), fd(std::move(other.fd)),
      done(std::exchange(other.done, true)) {}

OrRefusal<TemporaryFile> TemporaryFile::create(const FileDescriptor& folder,
                                               const std::string& finalName) {
    errno = ENOENT; // a missing folder has no descriptor
    for (int tries = 0; folder.valid() && tries < maxTries; ++tries) {
        std::string name = finalName + infix + randomPart();
        FileDescriptor fd(::openat(folder.get(), name.c_str(),
                                   O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.valid())
            return TemporaryFile(folder, finalName, std::move(name), std::move(fd));
        if (errno != EEXIST)
            break;
    }
    return Refusal::systemError("can't create a temporary file beside it");
}

TemporaryFile::~TemporaryFile() {
    if (!done)
        ::unlinkat(folder.get(), ownName.c_str(), 0);
}

bool TemporaryFile::replaceFinal() {
    if (::renameat(folder.get(), ownName.c_str(), folder.get(), finalName.c_str()) != 0)
        return false;
    done = true;
    return true;
}

bool TemporaryFile::becomeNew() {
    if (!renameWithoutReplacing(folder.get(), ownName, finalName))
        return false;
    done = true;
    return true;
}

bool TemporaryFile::isTemporaryOf(const std::string& name, const std::string& finalName) {
    const std::string head = finalName + infix;
    return name.size() == head.size() + randomLength && name.compare(0, head.size(), head) == 0 &&
           name.find_first_not_of(letters, head.size()) == std::string::npos;
}
