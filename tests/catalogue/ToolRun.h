#pragma once

#include "support/Processes.h"

#include <string>

namespace clipforge::test {

// The converter the program itself runs: bin/ffmpeg in the program folder of the build.
std::string converter();

}  // namespace clipforge::test
