#include "SharedSplitFolder.h"

#include "core/Errors.h"
#include "core/FileSystem.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace clipforge {
namespace {

// Everything below folder open as folderFd, depth first; what cannot go stays.
void removeContents(int folderFd)
{
    const std::optional<std::vector<FolderEntry>> entries = folderEntriesAt(folderFd);
    for (const FolderEntry& entry : entries.value_or(std::vector<FolderEntry>{})) {
        if (::unlinkat(folderFd, entry.name.c_str(), 0) == 0 || errno != EISDIR)
            continue;
        const int inner = ::openat(folderFd, entry.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (inner < 0)
            continue;
        removeContents(inner);
        ::close(inner);
        ::unlinkat(folderFd, entry.name.c_str(), AT_REMOVEDIR);
    }
}

}  // namespace

std::string SharedSplitFolder::makeWritingFolder() const
{
    std::string pattern = path_ + ".writing.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw Error("no folder for writing a part could be made in " + path_ + ": " + std::strerror(errno));
    return pattern + "/";
}

void SharedSplitFolder::linkInto(const std::string& folder, const std::vector<std::string>& names) const
{
    for (const std::string& name : names) {
        if (::link((path_ + name).c_str(), (folder + name).c_str()) != 0)
            throw Error("the part " + name + " could not be taken from " + path_ + ": " + std::strerror(errno));
    }
}

void SharedSplitFolder::remove() const
{
    removeFolder(path_);
}

void SharedSplitFolder::removeFolder(const std::string& folder)
{
    // Without its final "/", so that a link planted under the folder's name is not followed.
    const std::string name = folder.ends_with('/') ? folder.substr(0, folder.size() - 1) : folder;
    const int folderFd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return;
    removeContents(folderFd);
    ::close(folderFd);
    ::rmdir(name.c_str());
}

}  // namespace clipforge
