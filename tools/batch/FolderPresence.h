#pragma once

#include "core/FileSystem.h"

#include <string>
#include <vector>

namespace clipforge {

// Whether a watched folder is there to be watched, asked again at every rescan. A folder whose
// file system was unmounted counts as away even when an empty mount point is left at its path:
// watching that would be watching another folder. A folder that turned empty is still there.
class FolderPresence {
public:
    enum class State { There, Gone, Unmounted, Unreadable };
    struct Look {
        State state = State::Gone;
        // There, but not the folder watched last time (mounted again, or made anew): its
        // watches lead nowhere and it must be walked afresh.
        bool renewed = false;
        int error = 0;  // the system's reason when Unreadable
    };

    explicit FolderPresence(std::string folder) : folder_(std::move(folder)) {}

    // Looks at the folder now; mounts are the system's mount points now (empty when unknown).
    Look look(const std::vector<std::string>& mounts);

private:
    std::string folder_;
    std::string mount_;        // where its file system was mounted when it was last there
    FileIdentity identity_{};  // what it was when last there
};

// The words for why a folder is not watched now, as messages and --json give them.
std::string absenceReason(const FolderPresence::Look& look);

}  // namespace clipforge
