#include "OutputTerminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace clipforge {

// 80 columns when the terminal does not say.
std::optional<std::size_t> outputTerminalWidth()
{
    if (!::isatty(STDOUT_FILENO))
        return std::nullopt;
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

}  // namespace clipforge
