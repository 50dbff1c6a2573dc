#pragma once

#include <string>
#include <vector>

namespace clipforge {

// The folder the lines of a split plan share for one job's parts, ".clipforge-split.ID.INDEX" in
// the job's output folder, seen by every machine that runs a line. No lock guards it (a network
// file system may not share one): each part is written in a folder private to its line and
// published under its name by a step that never replaces, so a published part is whole and
// only the first of two writers' copies counts; every other change is made by one line only
// (the one that committed the job removes the folder). Leftover sweeps never take it: a run
// between two lines cannot tell whether its job was committed.
class SharedSplitFolder {
public:
    SharedSplitFolder(const std::string& outputFolder, const std::string& planId, int index);

    // Ends in "/".
    const std::string& path() const { return path_; }
    // Makes the folder when missing; clipforge::Error with the reason when it cannot be had.
    void make() const;
    bool holds(const std::string& name) const;
    bool holdsAll(const std::vector<std::string>& names) const;
    // A new folder inside it, private to the caller, ending in "/"; clipforge::Error.
    std::string makeWritingFolder() const;
    // Publishes the file written (in a writing folder) as name, never replacing: another line's
    // copy published first stays and this one is dropped. clipforge::Error when neither is there
    // afterwards (the folder was removed meanwhile, or the file system cannot commit safely).
    void publish(const std::string& written, const std::string& name) const;
    // Hard links each named part into folder, so that another line's removal of this folder
    // cannot take them away; clipforge::Error naming the first that cannot be linked.
    void linkInto(const std::string& folder, const std::vector<std::string>& names) const;
    // Removes the folder and everything in it; all of it is the lines' own. Silent.
    void remove() const;
    // Removes a writing folder and what it holds. Silent.
    static void removeFolder(const std::string& folder);

private:
    std::string path_;
};

}  // namespace clipforge
