#include "core/LeftoverCleaner.h"

#include "core/FileDescriptor.h"
#include "core/FileSystem.h"
#include "core/UnfinishedNames.h"
#include "core/WriterLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace clipforge {
namespace {

// What the folder open as folderFd holds; the folder's own descriptor stays open.
std::vector<FolderEntry> entriesIn(int folderFd)
{
    return folderEntriesAt(folderFd).value_or(std::vector<FolderEntry>());
}

bool sameFolder(int folderFd, const std::string& name, int openFd)
{
    struct stat there {};
    struct stat mine {};
    return ::fstatat(folderFd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(openFd, &mine) == 0 &&
           there.st_dev == mine.st_dev && there.st_ino == mine.st_ino;
}

void clearPrivateFolder(int parentFd, const std::string& name)
{
    FileDescriptor folder(::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid())
        return;
    struct stat lockInfo {};
    if (::fstatat(folder.get(), privateFolderLockName, &lockInfo, AT_SYMLINK_NOFOLLOW) != 0) {
        // A writer that died before its lock was made left nothing in it; one that is making its
        // lock right now finds its folder gone and makes another.
        ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);
        return;
    }
    const WriterLock lock = WriterLock::takeLeftover(folder.get(), privateFolderLockName);
    if (lock.held() && sameFolder(parentFd, name, folder.get()))
        removePrivateFolder(parentFd, name, folder.get());
}

void clearTemporaryList(int folderFd, const std::string& name)
{
    const WriterLock lock = WriterLock::takeLeftover(folderFd, name);
    if (lock.held())
        ::unlinkat(folderFd, name.c_str(), 0);
}

// A folder of work files inside a private folder (a split job's parts): its files, then itself.
// Links are not followed, and nothing deeper is made by a writer.
void removeWorkFolder(int folderFd, const std::string& name)
{
    const FileDescriptor inner(::openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (inner.valid()) {
        for (const FolderEntry& entry : entriesIn(inner.get()))
            ::unlinkat(inner.get(), entry.name.c_str(), 0);
    }
    ::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR);
}

}  // namespace

void removePrivateFolder(int parentFd, const std::string& name, int folderFd)
{
    for (const FolderEntry& entry : entriesIn(folderFd)) {
        if (entry.name != privateFolderLockName && ::unlinkat(folderFd, entry.name.c_str(), 0) != 0)
            removeWorkFolder(folderFd, entry.name);
    }
    ::unlinkat(folderFd, privateFolderLockName, 0);
    ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);
}

void clearLeftovers(const std::string& folder)
{
    const FileDescriptor folderFd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.valid())
        return;
    for (const FolderEntry& entry : entriesIn(folderFd.get())) {
        if (isOwnPrivateFolder(entry.name))
            clearPrivateFolder(folderFd.get(), entry.name);
        else if (isOwnTemporaryList(entry.name))
            clearTemporaryList(folderFd.get(), entry.name);
    }
}

}  // namespace clipforge
