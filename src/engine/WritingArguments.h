#pragma once

#include <string>
#include <vector>

namespace clipforge {

// The first of a profile's converter arguments that would have the converter write a file of
// its own choosing or overwrite one, rather than only the output it is given; empty when none
// would. Caught: "-y"; a positional argument that is no option's value (a second output); an
// option known to write a file (statistics, pass logs, progress, reports, SDP files,
// attachments, segment lists and names); the tee muxer; a filter's "file=" or "stats_file=".
// The list is best effort: confinement is what really keeps the converter in its folder.
std::string argumentWritingElsewhere(const std::vector<std::string>& arguments);

}  // namespace clipforge
