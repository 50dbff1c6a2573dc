#pragma once

#include "core/FileDescriptor.h"
#include "core/WriterLock.h"

#include <functional>
#include <string>

namespace clipforge {

// A job's private folder inside its output folder, locked for as long as the job lives. The
// converter writes the output there under its final name, so nothing half-written ever shows
// under a real name and nothing that appears at that name is ever touched; only a whole,
// judged output leaves it, by a commit that can replace nothing. Whatever the folder still
// holds goes with it.
//
// The folder is ".clipforge-partial.HOST.XXXXXX" with a lock file "lock" in it. Should the job
// die, the next run or save in that folder on this machine clears it (clearLeftovers).
class PrivateOutputFolder {
public:
    // outputFolder is the output's folder as given ("" for the working folder). Throws
    // clipforge::Error with the reason when no private folder can be made there.
    explicit PrivateOutputFolder(const std::string& outputFolder);
    ~PrivateOutputFolder();
    PrivateOutputFolder(const PrivateOutputFolder&) = delete;
    PrivateOutputFolder& operator=(const PrivateOutputFolder&) = delete;

    // The folder, ending in "/".
    const std::string& path() const { return path_; }
    // Where the converter writes the output whose chosen path is chosen.
    std::string writingPath(const std::string& chosen) const;

    // Flushes the file written at writingPath(chosen) to the disk and makes it visible as
    // chosen; when something has taken that name meanwhile, as the first name nextName gives
    // that is free. The output folder is flushed afterwards, so the name lasts too. Returns the
    // path really used. Throws clipforge::Error with the reason when this file system offers
    // no commit that cannot replace; the output then goes with the folder.
    std::string commit(const std::string& chosen, const std::function<std::string()>& nextName);

    // A folder of that name inside this one, made when missing, ending in "/": for work files
    // (a split job's parts) that must never meet the output's name. It goes with this folder.
    // Throws clipforge::Error with the reason when it cannot be made.
    std::string subfolder(const std::string& name) const;

private:
    std::string outputFolder_;
    std::string name_;
    std::string path_;
    FileDescriptor parent_;
    FileDescriptor folder_;
    WriterLock lock_;
};

}  // namespace clipforge
