#include "core/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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
using FolderStream = std::unique_ptr<DIR, CloseFolder>;

std::optional<std::vector<FolderEntry>> entriesOf(const FolderStream& stream)
{
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
    status.modifiedNanoseconds =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return status;
}

std::optional<std::vector<FolderEntry>> folderEntries(const std::string& folder)
{
    return entriesOf(FolderStream(::opendir(folder.empty() ? "." : folder.c_str())));
}

std::optional<std::vector<FolderEntry>> folderEntriesAt(int folderFd)
{
    // The stream takes over the descriptor it is given, so it gets a copy of its own.
    const int copy = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return std::nullopt;
    FolderStream stream(::fdopendir(copy));
    if (!stream)
        ::close(copy);
    return entriesOf(stream);
}

bool makeFolders(const std::string& folder, unsigned permissions)
{
    const auto make = [permissions](const std::string& part) {
        return ::mkdir(part.c_str(), static_cast<mode_t>(permissions)) == 0 || errno == EEXIST;
    };
    for (std::size_t end = folder.find('/', 1); end != std::string::npos; end = folder.find('/', end + 1))
        if (!make(folder.substr(0, end)))
            return false;
    if (!folder.empty() && folder.back() != '/' && !make(folder))
        return false;
    const FileStatus made = fileStatus(folder);
    if (made.exists() && made.kind != FileKind::Folder)
        errno = ENOTDIR;
    return made.kind == FileKind::Folder;
}

std::optional<std::string> realPath(const std::string& path)
{
    if (holdsNul(path))
        return std::nullopt;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved)
        return std::nullopt;
    return std::string(resolved.get());
}

std::string realPathAsFarAsItGoes(const std::string& path)
{
    for (std::size_t end = path.size(); end != std::string::npos && end > 0; end = path.rfind('/', end - 1)) {
        if (const std::optional<std::string> there = realPath(path.substr(0, end)))
            return *there + path.substr(end);
    }
    return path;
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
