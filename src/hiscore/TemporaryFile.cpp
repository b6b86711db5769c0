#include "hiscore/TemporaryFile.hpp"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {
const std::string randomPart = "XXXXXX";
const std::string suffix = ".tmp";
} // namespace

TemporaryFile::TemporaryFile(const std::string& file) : replaced(file) {
    std::string pattern = replaced + "." + randomPart + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd = FileDescriptor(::mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC));
    if (!fd.valid()) {
        failure = "can't create a temporary file beside it: " + std::string(std::strerror(errno));
        return;
    }
    path = name.data();
}

TemporaryFile::~TemporaryFile() {
    if (!path.empty() && !done)
        ::unlink(path.c_str());
}

bool TemporaryFile::replace() {
    if (std::rename(path.c_str(), replaced.c_str()) != 0)
        return false;
    done = true;
    return true;
}

bool TemporaryFile::isTemporaryOf(const std::string& name, const std::string& replacedName) {
    const std::string head = replacedName + ".";
    if (name.size() != head.size() + randomPart.size() + suffix.size() ||
        name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (std::size_t i = head.size(); i < head.size() + randomPart.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}
