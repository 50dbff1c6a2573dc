#include "core/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace clipforge {
namespace {

FileKind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISLNK(mode))
        return FileKind::SymbolicLink;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileKind::Device;
    if (S_ISFIFO(mode))
        return FileKind::Fifo;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Other;
}

bool holdsNul(const std::string& path)
{
    return path.find('\0') != std::string::npos;
}

struct CloseFolder {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

}  // namespace

FileStatus fileStatus(const std::string& path, FinalLink link)
{
    FileStatus status;
    if (holdsNul(path)) {
        status.error = EINVAL;
        return status;
    }
    struct stat info {};
    const int result = link == FinalLink::Followed ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (result != 0) {
        status.error = errno;
        return status;
    }
    status.kind = kindOf(info.st_mode);
    status.identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    status.size = static_cast<std::uint64_t>(info.st_size);
    return status;
}

std::optional<std::vector<FolderEntry>> folderEntries(const std::string& folder)
{
    const std::unique_ptr<DIR, CloseFolder> stream(::opendir(folder.empty() ? "." : folder.c_str()));
    if (!stream)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    while (const dirent* entry = ::readdir(stream.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            entries.push_back({name, static_cast<std::uint64_t>(entry->d_ino)});
    }
    return entries;
}

bool removeFile(const std::string& path)
{
    if (holdsNul(path)) {
        errno = EINVAL;
        return false;
    }
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace clipforge
