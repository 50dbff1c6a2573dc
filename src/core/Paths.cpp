#include "core/Paths.h"

#include "core/FileSystem.h"

namespace clipforge {

namespace {

std::string& programFolderOverride()
{
    static std::string folder;
    return folder;
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

void setProgramFolderForTesting(const std::string& folder)
{
    if (!folder.empty() && folder.back() != pathSeparator)
        programFolderOverride() = folder + pathSeparator;
    else
        programFolderOverride() = folder;
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

// A name holding a NUL byte answers false (see fileStatus): were it to answer for the part before
// the NUL, the unique-name chooser would add "_2" forever.
bool fileExists(const std::string& path)
{
    return fileStatus(path).kind == FileKind::Regular;
}

bool folderExists(const std::string& path)
{
    return fileStatus(path).kind == FileKind::Folder;
}

bool pathOccupied(const std::string& path)
{
    return fileStatus(path, FinalLink::Examined).exists();
}

}  // namespace clipforge
