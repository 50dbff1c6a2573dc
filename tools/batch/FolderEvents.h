#pragma once

#include "core/FileDescriptor.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

namespace clipforge {

// One thing the system said about a watched folder.
struct FolderEvent {
    enum class Kind {
        FileWritten,    // a file was closed after writing
        FileMovedIn,    // a file was renamed or moved to name
        FolderArrived,  // a folder was made or moved in as name
        FolderLeft,     // the folder name was renamed or moved away
        FolderGone,     // the watched folder itself was removed, moved or unmounted
        Overflow,       // the system dropped notices: only a look at every folder can tell what happened
    };
    Kind kind = Kind::Overflow;
    int watch = -1;    // the folder it happened in; -1 for Overflow
    std::string name;  // the entry inside that folder; empty when the folder itself is meant
};

// The kernel's notices of changes in folders, read on the event loop as they come. A folder is
// watched by itself, not with its subfolders: the caller adds those.
class FolderEvents {
public:
    using Handler = std::function<void(const std::vector<FolderEvent>&)>;

    explicit FolderEvents(Handler handler);
    ~FolderEvents();
    FolderEvents(const FolderEvents&) = delete;
    FolderEvents& operator=(const FolderEvents&) = delete;

    // False, with error() the system's reason, when no notices can be had at all.
    bool valid() const { return fd_.valid(); }
    int error() const { return error_; }
    // The watch's number (the same again for a folder already watched); -1, error() set, when the
    // folder cannot be watched. Links are not followed.
    int add(const std::string& folder);
    void remove(int watch);

private:
    void read();

    FileDescriptor fd_;
    int error_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    Handler handler_;
};

}  // namespace clipforge
