#include "core/KeptQueueFile.h"

#include "core/Errors.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace clipforge {

namespace {

// A rename that never replaces: where the file system refuses the flag, a new link and the old
// name's removal do the same.
bool renameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL || ::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

}  // namespace

std::string setAside(const std::string& path)
{
    const std::string stem = path + ".broken";
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string name = attempt == 1 ? stem : stem + "-" + std::to_string(attempt);
        if (renameNoReplace(path, name))
            return name;
        if (errno != EEXIST)
            throw EFileError("Cannot move file \"" + path + "\" aside. " + std::string(std::strerror(errno)));
    }
    throw EFileError("Cannot move file \"" + path + "\" aside. " + std::string(std::strerror(EEXIST)));
}

}  // namespace clipforge
