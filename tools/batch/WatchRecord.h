#pragma once

#include "core/WriterLock.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace clipforge {

// What a watched folder's file looked like when it was converted.
struct WatchedFileKey {
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;

    friend bool operator==(const WatchedFileKey&, const WatchedFileKey&) = default;
};

// What became of one file of a watched folder.
struct WatchedFileResult {
    WatchedFileKey key;
    // Not part of the key (it may change when the folder is mounted again); only tells a file
    // moved inside the folder from another with the same size and time.
    std::uint64_t inode = 0;
    bool converted = false;
    std::string output;  // when converted
    std::string reason;  // when it failed
};

// What was converted from one watched folder with one profile, and what failed, kept across
// restarts in the user's state folder. Files are known by their path inside the folder, size and
// modification time, never by device number, which changes when a network or USB folder is
// mounted again. Entries are never dropped for files that are gone: a folder whose mount went
// away reads as empty, and must not cost its history. One watcher at a time keeps a record.
class WatchRecord {
public:
    // Reads the record of folder (absolute, without a trailing "/") and profile, or starts one;
    // a record that does not read is set aside as ".broken" and message says so. Throws
    // clipforge::Error when the record cannot be kept (its folder cannot be made) or another
    // watcher keeps it.
    WatchRecord(const std::string& stateFolder, const std::string& folder, int profile, std::string& message);

    // The result kept for the file at relative path; null when there is none.
    const WatchedFileResult* find(const std::string& relative) const;
    // The files kept as converted with this key and inode, by their relative paths.
    std::vector<std::string> convertedWith(const WatchedFileKey& key, std::uint64_t inode) const;
    // Keeps result and writes the whole record anew. Throws clipforge::Error when it cannot.
    void keep(const std::string& relative, const WatchedFileResult& result);

    const std::string& path() const { return path_; }
    std::size_t size() const { return results_.size(); }

private:
    void read(std::string& message);
    void write() const;

    std::string folder_;
    int profile_;
    std::string path_;
    WriterLock lock_;
    std::map<std::string, WatchedFileResult> results_;
};

}  // namespace clipforge
