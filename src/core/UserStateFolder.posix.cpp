#include "core/UserStateFolder.h"

#include "core/Paths.h"

#include <pwd.h>
#include <unistd.h>

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

}  // namespace clipforge
