#pragma once

#include <string>
#include <vector>

namespace clipforge {

// The folders file systems are mounted on, as the system lists them now; empty when it will not
// say (no /proc), so that a caller can tell "unknown" from "gone".
std::vector<std::string> mountPoints();
// The mount points listed in the text of a mountinfo file, in its order.
std::vector<std::string> mountPointsIn(const std::string& mountinfo);
// The mount point path lies on: the longest of mounts that is path or a folder above it; empty
// when none is.
std::string mountPointOf(const std::string& path, const std::vector<std::string>& mounts);

}  // namespace clipforge
