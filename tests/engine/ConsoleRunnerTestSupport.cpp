#include "ConsoleRunnerTestSupport.h"

#include "engine/ChildProcess.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace clipforge::test {

namespace {

// The test program does not lie in the program folder: its children run under the build's
// supervisor, as the programs' do.
[[maybe_unused]] const bool supervised = [] {
    if (const char* folder = std::getenv("CLIPFORGE_APP_DIR"))
        ChildProcess::setSupervisor(std::string(folder) + "/clipforge-supervisor");
    return true;
}();

}  // namespace

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
