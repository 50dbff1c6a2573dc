#include "ConsoleRunnerTestSupport.h"

#include <fstream>
#include <string>

namespace clipforge::test {

bool processIsGone(long pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    if (!stat)
        return true;
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    // A zombie whose parent is not us has been killed; reaping it is init's job.
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

}  // namespace clipforge::test
