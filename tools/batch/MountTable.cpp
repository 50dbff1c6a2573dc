#include "MountTable.h"

#include <sstream>

namespace clipforge {
namespace {

// The table writes a space, tab, newline and backslash in a path as a backslash and three octal
// digits; anything else stands for itself.
std::string unescaped(const std::string& field)
{
    std::string path;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 3 < field.size() &&
                           field.substr(i + 1, 3).find_first_not_of("01234567") == std::string::npos;
        if (octal) {
            path += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            path += field[i];
        }
    }
    return path;
}

}  // namespace

std::vector<std::string> mountPointsIn(const std::string& mountinfo)
{
    std::vector<std::string> mounts;
    std::istringstream lines(mountinfo);
    std::string line;
    while (std::getline(lines, line)) {
        // mount id, parent id, major:minor, root inside the file system, then the mount point.
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 5 && fields >> field; ++i) {
            if (i == 4)
                mounts.push_back(unescaped(field));
        }
    }
    return mounts;
}

std::string mountPointOf(const std::string& path, const std::vector<std::string>& mounts)
{
    std::string best;
    for (const std::string& mount : mounts) {
        const bool above = mount == "/" || path == mount ||
                           (path.compare(0, mount.size(), mount) == 0 && path[mount.size()] == '/');
        if (above && mount.size() > best.size())
            best = mount;
    }
    return best;
}

}  // namespace clipforge
