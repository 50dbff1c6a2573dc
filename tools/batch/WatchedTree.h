#pragma once

#include "FolderEvents.h"

#include "core/FileSystem.h"

#include <functional>
#include <map>
#include <set>
#include <string>

namespace clipforge {

// The folders under one watched folder that are watched for arrivals: every subfolder at any
// depth but hidden ones (a private output folder among them) and the folders left out (the
// output folder's subtree), reached without following links, so nothing is watched twice.
class WatchedTree {
public:
    // Called with every regular file a walk comes across, as its full path.
    using FileFound = std::function<void(const std::string& path)>;

    // root: absolute, without a trailing "/".
    WatchedTree(FolderEvents& events, std::string root, std::set<FileIdentity> leftOut, FileFound found);

    const std::string& root() const { return root_; }
    // Watches folder (the root or a folder below it) and every folder below it, reporting every
    // file found. False when folder cannot be watched or read (an error is kept for warning()).
    bool walk(const std::string& folder);
    // The folder a watch stands for; empty when it is none of this tree's.
    std::string folderOf(int watch) const;
    // Stops watching folder and everything below it (it was moved away).
    void forget(const std::string& folder);
    // The system ended the watch (the folder went); true when it was the root's.
    bool ended(int watch);
    bool rootWatched() const { return watched_.count(root_) != 0; }
    // The path of a file below the root, relative to it.
    std::string relative(const std::string& path) const { return path.substr(root_.size() + 1); }

private:
    bool watchOne(const std::string& folder);

    FolderEvents& events_;
    std::string root_;
    std::set<FileIdentity> leftOut_;
    FileFound found_;
    std::map<std::string, int> watched_;
    std::map<int, std::string> folders_;
};

}  // namespace clipforge
