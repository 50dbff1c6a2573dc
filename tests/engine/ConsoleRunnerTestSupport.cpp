#include "engine/ChildProcess.h"
#include "engine/PacketReader.h"

#include <cstdlib>
#include <string>

namespace {

// The test program does not lie in the program folder: its children run under the build's
// supervisor, and packets are read by the build's reader, as the programs' are.
[[maybe_unused]] const bool supervised = [] {
    if (const char* folder = std::getenv("CLIPFORGE_APP_DIR")) {
        clipforge::ChildProcess::setSupervisor(std::string(folder) + "/clipforge-supervisor");
        clipforge::PacketReader::setDefaultHelper(std::string(folder) + "/clipforge-packets");
    }
    return true;
}();

}  // namespace
