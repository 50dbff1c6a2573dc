#include "WatchedTree.h"

#include <vector>

namespace clipforge {

WatchedTree::WatchedTree(FolderEvents& events, std::string root, std::set<FileIdentity> leftOut, FileFound found)
    : events_(events), root_(std::move(root)), leftOut_(std::move(leftOut)), found_(std::move(found))
{
}

bool WatchedTree::watchOne(const std::string& folder)
{
    const int watch = events_.add(folder);
    if (watch < 0)
        return false;
    // A folder moved within the tree keeps its watch under its new path.
    if (const auto old = folders_.find(watch); old != folders_.end() && old->second != folder)
        watched_.erase(old->second);
    // Another folder at this path (made anew, or mounted over): the old one's watch tells nothing.
    if (const auto old = watched_.find(folder); old != watched_.end() && old->second != watch) {
        events_.remove(old->second);
        folders_.erase(old->second);
    }
    watched_[folder] = watch;
    folders_[watch] = folder;
    return true;
}

bool WatchedTree::walk(const std::string& top)
{
    std::vector<std::string> pending{top};
    bool whole = true;
    while (!pending.empty()) {
        const std::string folder = pending.back();
        pending.pop_back();
        const FileStatus status = fileStatus(folder, FinalLink::Examined);
        if (status.kind != FileKind::Folder || leftOut_.count(status.identity))
            continue;
        // Watched before it is read, so that nothing arriving in between is missed.
        if (!watchOne(folder)) {
            whole = false;
            continue;
        }
        const auto entries = folderEntries(folder);
        if (!entries) {
            whole = false;
            continue;
        }
        for (const FolderEntry& entry : *entries) {
            const std::string path = folder + "/" + entry.name;
            const FileKind kind = fileStatus(path, FinalLink::Examined).kind;
            if (kind == FileKind::Folder && entry.name.front() != '.')
                pending.push_back(path);
            else if (kind == FileKind::Regular)
                found_(path);
        }
    }
    return whole;
}

std::string WatchedTree::folderOf(int watch) const
{
    const auto found = folders_.find(watch);
    return found == folders_.end() ? std::string() : found->second;
}

void WatchedTree::forget(const std::string& folder)
{
    const std::string below = folder + "/";
    for (auto it = watched_.begin(); it != watched_.end();) {
        if (it->first == folder || it->first.compare(0, below.size(), below) == 0) {
            events_.remove(it->second);
            folders_.erase(it->second);
            it = watched_.erase(it);
        } else {
            ++it;
        }
    }
}

bool WatchedTree::ended(int watch)
{
    const auto found = folders_.find(watch);
    if (found == folders_.end())
        return false;
    const bool wasRoot = found->second == root_;
    // A folder moved away keeps its watch; an ended one lets go of it already.
    events_.remove(watch);
    watched_.erase(found->second);
    folders_.erase(found);
    if (wasRoot)
        forget(root_);
    return wasRoot;
}

}  // namespace clipforge
