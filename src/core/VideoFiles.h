#pragma once

#include <string>
#include <vector>

// Which files count as videos when the program looks for them itself: the Add dialog's filter,
// a folder handed to the program, the file types the desktop offers it.
namespace clipforge {

// Lower case, without the dot.
const std::vector<std::string>& videoExtensions();

// By the name's extension, in any letter case.
bool isVideoFileName(const std::string& path);

// The regular files with a video extension inside folder and all its subfolders, as full paths
// sorted byte by byte. Links are not followed, so a link cannot add a file twice or lead the
// search round in a circle; unreadable subfolders are passed over.
std::vector<std::string> videoFilesIn(const std::string& folder);

}  // namespace clipforge
