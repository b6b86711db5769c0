#include "files/Rename.hpp"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

bool renameWithoutReplacing(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0)
        return false;
    ::unlinkat(folder, from.c_str(), 0); // should this fail, the file is kept under both names
    return true;
}
