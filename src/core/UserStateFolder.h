#pragma once

#include "core/FileSystem.h"

#include <string>

namespace clipforge {

// Where this user's state between sessions lives: "$XDG_STATE_HOME/clipforge/", or
// "~/.local/state/clipforge/" when the variable is unset, empty or not an absolute path. With a
// trailing "/". Nothing is created.
std::string userStateFolder();

// The window's kept queue: the list file and, beside it, the lock that makes one instance its
// only writer.
struct QueueStateFiles {
    std::string folder;  // with a trailing "/"

    std::string queue() const { return folder + "queue.kxl"; }
    std::string lock() const { return folder + "queue.lock"; }
};

inline QueueStateFiles userQueueStateFiles()
{
    return {userStateFolder()};
}

// Makes folder and any missing parent, each new one readable by its owner only; true when it
// exists afterwards.
inline bool makePrivateFolders(const std::string& folder)
{
    return makeFolders(folder, 0700);
}

}  // namespace clipforge
