#include "MountTable.h"

#include <fstream>
#include <sstream>

namespace clipforge {

std::vector<std::string> mountPoints()
{
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    text << file.rdbuf();
    return file ? mountPointsIn(text.str()) : std::vector<std::string>();
}

}  // namespace clipforge
