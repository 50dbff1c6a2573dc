#include "engine/ChildProcess.h"

#include <cstdlib>
#include <string>

namespace {

// The test program does not lie in the program folder: its children run under the build's
// supervisor, as the programs' do.
[[maybe_unused]] const bool supervised = [] {
    if (const char* folder = std::getenv("CLIPFORGE_APP_DIR"))
        clipforge::ChildProcess::setSupervisor(std::string(folder) + "/clipforge-supervisor");
    return true;
}();

}  // namespace
