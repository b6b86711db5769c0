#pragma once
// The rename that never replaces a file, for files that must not overwrite anything: a file
// set aside, a new dump.

#include <string>

// Renames `from` to `to` in one folder (by its descriptor) only when no file has the name
// `to`: the kernel's no-replace rename, or where the file system lacks it, a second link
// under the new name and removal of the old. False with EEXIST when the name is taken, and
// with errno set on any other failure.
bool renameWithoutReplacing(int folder, const std::string& from, const std::string& to);
