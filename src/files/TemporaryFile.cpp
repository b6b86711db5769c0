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
    : m_folder(in), m_finalName(std::move(final)), m_ownName(std::move(own)),
      m_fd(std::move(file)) {}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : m_folder(other.m_folder), m_finalName(std::move(other.m_finalName)),
      m_ownName(std::move(other.m_ownName)), m_fd(std::move(other.m_fd)),
      m_done(std::exchange(other.m_done, true)) {}

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
    if (!m_done)
        ::unlinkat(m_folder.get(), m_ownName.c_str(), 0);
}

bool TemporaryFile::replaceFinal() {
    if (::renameat(m_folder.get(), m_ownName.c_str(), m_folder.get(), m_finalName.c_str()) != 0)
        return false;
    m_done = true;
    return true;
}

bool TemporaryFile::becomeNew() {
    if (!renameWithoutReplacing(m_folder.get(), m_ownName, m_finalName))
        return false;
    m_done = true;
    return true;
}

bool TemporaryFile::isTemporaryOf(const std::string& name, const std::string& finalName) {
    const std::string head = finalName + infix;
    return name.size() == head.size() + randomLength && name.compare(0, head.size(), head) == 0 &&
           name.find_first_not_of(letters, head.size()) == std::string::npos;
}
