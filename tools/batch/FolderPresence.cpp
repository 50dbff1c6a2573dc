#include "FolderPresence.h"

#include "MountTable.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace clipforge {

FolderPresence::Look FolderPresence::look(const std::vector<std::string>& mounts)
{
    using enum State;
    if (!mount_.empty() && !mounts.empty() && std::find(mounts.begin(), mounts.end(), mount_) == mounts.end())
        return {Unmounted};
    const FileStatus status = fileStatus(folder_, FinalLink::Examined);
    if (status.kind != FileKind::Folder)
        return status.error == EACCES ? Look{Unreadable, false, EACCES} : Look{Gone};
    if (!folderEntries(folder_))
        return {Unreadable, false, errno};
    mount_ = mountPointOf(folder_, mounts);
    const bool renewed = status.identity != identity_;
    identity_ = status.identity;
    return {There, renewed};
}

std::string absenceReason(const FolderPresence::Look& look)
{
    switch (look.state) {
    case FolderPresence::State::Gone:
        return "not there (removed or moved away)";
    case FolderPresence::State::Unmounted:
        return "unmounted";
    case FolderPresence::State::Unreadable:
        return std::string("not readable (") + std::strerror(look.error) + ")";
    case FolderPresence::State::There:
        break;
    }
    return {};
}

}  // namespace clipforge
