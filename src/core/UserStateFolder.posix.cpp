#include "core/UserStateFolder.h"

#include "core/Paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace clipforge {
namespace {

bool isAbsolute(const char* path)
{
    return path && path[0] == '/';
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); isAbsolute(home))
        return home;
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        isAbsolute(found->pw_dir))
        return found->pw_dir;
    return "/";
}

}  // namespace

std::string userStateFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    const std::string base =
        isAbsolute(state) ? withTrailingSeparator(state) : withTrailingSeparator(homeFolder()) + ".local/state/";
    return base + "clipforge/";
}

bool makePrivateFolders(const std::string& folder)
{
    for (std::size_t end = folder.find('/', 1); end != std::string::npos; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    if (!folder.empty() && folder.back() != '/' && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace clipforge
