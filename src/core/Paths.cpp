#include "core/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <vector>

namespace clipforge {

namespace {

std::string& programFolderOverride()
{
    static std::string folder;
    return folder;
}

std::string executablePath()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string fileNamePart(const std::string& path)
{
    const auto separator = path.rfind(pathSeparator);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string folderPart(const std::string& path)
{
    const auto separator = path.rfind(pathSeparator);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string extensionPart(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto separator = path.rfind(pathSeparator);
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return {};
    return path.substr(dot);
}

std::string replaceExtension(const std::string& path, const std::string& newExtension)
{
    const auto extensionLength = extensionPart(path).size();
    return path.substr(0, path.size() - extensionLength) + newExtension;
}

std::string programFolder()
{
    if (!programFolderOverride().empty())
        return programFolderOverride();
    return executableFolder();
}

std::string executableFolder()
{
    static const std::string folder = folderPart(executablePath());
    return folder;
}

void setProgramFolderForTesting(const std::string& folder)
{
    if (!folder.empty() && folder.back() != pathSeparator)
        programFolderOverride() = folder + pathSeparator;
    else
        programFolderOverride() = folder;
}

std::string currentFolder()
{
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return "/";
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    return folder;
}

std::string withTrailingSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != pathSeparator)
        folder += pathSeparator;
    return folder;
}

std::string absolutePath(const std::string& path)
{
    if (path.empty() || path.front() == pathSeparator)
        return path;
    return withTrailingSeparator(currentFolder()) + path;
}

bool fileExists(const std::string& path)
{
    // The system would see only the part before a NUL byte and answer for another file; the
    // unique-name chooser would then add "_2" forever.
    if (path.find('\0') != std::string::npos)
        return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool pathOccupied(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        return false;
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace clipforge
