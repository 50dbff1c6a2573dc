#pragma once

#include <cstddef>
#include <optional>

namespace clipforge {

// The width of the terminal standard output shows on; none when standard output is not a
// terminal (a file, a pipe to a script), which then never sees a live status line.
std::optional<std::size_t> outputTerminalWidth();

}  // namespace clipforge
