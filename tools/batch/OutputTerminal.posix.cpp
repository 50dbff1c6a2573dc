#include "OutputTerminal.h"

#include "LiveStatus.h"

#include <unistd.h>

namespace clipforge {

std::optional<std::size_t> outputTerminalWidth()
{
    if (!::isatty(STDOUT_FILENO))
        return std::nullopt;
    return LiveStatus::terminalWidth(STDOUT_FILENO);
}

}  // namespace clipforge
