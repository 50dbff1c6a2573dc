#pragma once

#include <string>

namespace clipforge {

// Where clipforge-batch make may write its list, and why not when it may not. make writes list
// files only: it never replaces a video, a device, a FIFO or a folder, nor a file that does not
// read as a list.
struct ListFileTarget {
    std::string path;     // the name given, with ".kxl" appended when it lacks it, as Export does
    std::string refusal;  // empty when the list may be written at path; else why not, in plain words
};

ListFileTarget listFileTarget(const std::string& given);

}  // namespace clipforge
