#include "LiveStatus.h"

#include <sys/ioctl.h>

namespace clipforge {

std::size_t LiveStatus::terminalWidth(int fd)
{
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

}  // namespace clipforge
