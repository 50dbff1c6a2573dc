#pragma once

#include "engine/JobOutcome.h"

#include <cstdint>

class TConsoleRunner;

namespace clipforge {

// How a converter run ended, read from its runner inside the runner's end notification, while
// the runner's stage still shows how far a failed start got.
JobEnd runnerEnd(const TConsoleRunner& runner, std::uint32_t exitCode, bool stopped);

}  // namespace clipforge
