#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The few questions about the file system, and changes to it, that code outside the platform
// files needs. Each answers for one moment only: what it reports may have changed by the next line.
namespace clipforge {

enum class FileKind { Missing, Regular, Folder, SymbolicLink, Device, Fifo, Socket, Other };

// Which file an entry leads to: a rename keeps it, a replacement under the same name changes it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

struct FileStatus {
    FileKind kind = FileKind::Missing;
    FileIdentity identity;
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;  // the last change of its contents, since the epoch
    int error = 0;  // the system's error code when kind is Missing

    bool exists() const { return kind != FileKind::Missing; }
};

// Whether a symbolic link at the end of a path is followed or looked at itself.
enum class FinalLink { Followed, Examined };

// What is at path. A name holding a NUL byte is Missing (EINVAL): the system would see only the
// part before it and answer for another file.
FileStatus fileStatus(const std::string& path, FinalLink link = FinalLink::Followed);

struct FolderEntry {
    std::string name;
    std::uint64_t inode = 0;
};

// What folder holds ("." when empty), without "." and ".."; nothing when it cannot be read.
std::optional<std::vector<FolderEntry>> folderEntries(const std::string& folder);
// The same for the folder open as folderFd, which stays open.
std::optional<std::vector<FolderEntry>> folderEntriesAt(int folderFd);

// Makes folder and any missing parent with the given permissions (before the umask); true when
// it is a folder afterwards, else false with errno set.
bool makeFolders(const std::string& folder, unsigned permissions = 0777);

// The path with every link and "." or ".." resolved; nothing when some of it is not there.
std::optional<std::string> realPath(const std::string& path);
// The same for a path whose end may not be there yet: the part that is there resolved, the
// rest appended as it stands.
std::string realPathAsFarAsItGoes(const std::string& path);

// Removes the file or link at path. True when nothing is there any more, also when nothing was;
// false, errno set, when it stays.
bool removeFile(const std::string& path);

}  // namespace clipforge
