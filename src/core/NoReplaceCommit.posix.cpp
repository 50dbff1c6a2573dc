#include "core/NoReplaceCommit.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace clipforge {
namespace {

std::atomic<bool> linkForced{false};

CommitOutcome failed(int error) { return {CommitResult::Failed, error}; }

// A network file system may repeat a call that worked and then report EEXIST for it: the name
// is ours only when it leads to the very file we committed.
bool leadsTo(const std::string& path, const struct stat& file)
{
    struct stat there {};
    return ::lstat(path.c_str(), &there) == 0 && there.st_dev == file.st_dev && there.st_ino == file.st_ino;
}

CommitOutcome commitByLink(const std::string& from, const std::string& to, const struct stat& file)
{
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno != EEXIST)
            return failed(errno);
        if (!leadsTo(to, file))
            return {CommitResult::NameTaken, 0};
    }
    // Left behind, the second name would only go with the private folder; the output is safe.
    ::unlink(from.c_str());
    return {CommitResult::Committed, 0};
}

}  // namespace

CommitOutcome commitWithoutReplacing(const std::string& from, const std::string& to)
{
    struct stat file {};
    if (::lstat(from.c_str(), &file) != 0)
        return failed(errno);
    if (!linkForced) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return {CommitResult::Committed, 0};
        if (errno == EEXIST)
            return leadsTo(to, file) ? CommitOutcome{CommitResult::Committed, 0} : CommitOutcome{CommitResult::NameTaken, 0};
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return failed(errno);
    }
    return commitByLink(from, to, file);
}

void forceLinkCommitForTesting(bool force) { linkForced = force; }

}  // namespace clipforge
