#include "core/VideoFiles.h"

#include "core/Paths.h"

#include <algorithm>
#include <filesystem>

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

std::vector<std::string> videoFilesIn(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator entries(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && entries != fs::recursive_directory_iterator(); entries.increment(error)) {
        const fs::directory_entry& entry = *entries;
        std::error_code statusError;
        if (entry.symlink_status(statusError).type() == fs::file_type::regular && isVideoFileName(entry.path()))
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace clipforge
