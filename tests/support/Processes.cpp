#include "support/Processes.h"

#include "support/Files.h"

#include <sys/wait.h>

#include <cerrno>
#include <string>

namespace clipforge::test {

bool processGone(long pid)
{
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto state = stat.rfind(')');
    return state == std::string::npos || state + 2 >= stat.size() || stat[state + 2] == 'Z';
}

bool reaped(long pid)
{
    return ::waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG) == -1 && errno == ECHILD;
}

}  // namespace clipforge::test
