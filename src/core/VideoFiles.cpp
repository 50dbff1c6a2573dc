#include "core/VideoFiles.h"

#include "core/FileSystem.h"
#include "core/Paths.h"

#include <algorithm>

namespace clipforge {

const std::vector<std::string>& videoExtensions()
{
    static const std::vector<std::string> extensions {"mpg", "mpeg", "wmv", "avi", "vob", "mov", "mp2", "mpv",
                                                      "mp4", "flv", "mkv", "webm", "m4v", "ts", "m2ts", "mts",
                                                      "3gp", "ogv"};
    return extensions;
}

bool isVideoFileName(const std::string& path)
{
    std::string extension = extensionPart(path);
    if (extension.size() < 2)
        return false;
    extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    const auto& known = videoExtensions();
    return std::find(known.begin(), known.end(), extension) != known.end();
}

namespace {

// Links are neither followed nor taken (a link to a folder could lead round in a circle); a
// folder that cannot be read is passed over.
void addVideoFiles(const std::string& folder, std::vector<std::string>& files)
{
    for (const FolderEntry& entry : folderEntries(folder).value_or(std::vector<FolderEntry> {})) {
        const std::string path = withTrailingSeparator(folder) + entry.name;
        const FileKind kind = fileStatus(path, FinalLink::Examined).kind;
        if (kind == FileKind::Folder)
            addVideoFiles(path, files);
        else if (kind == FileKind::Regular && isVideoFileName(path))
            files.push_back(path);
    }
}

}  // namespace

std::vector<std::string> videoFilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    addVideoFiles(folder, files);
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace clipforge
