#pragma once

#include <string>

namespace clipforge {

// What a kept queue file at start-up holds.
struct KeptQueueContents {
    bool present = false;  // a file is there
    int jobs = 0;          // how many jobs it holds, when it reads well
    std::string error;     // why it does not read; empty when it does
};

// Reads the kept queue at path through the list-file reader; a missing file is not present.
KeptQueueContents readKeptQueue(const std::string& path);

// Renames the file at path out of the way without replacing anything: to path + ".broken", or
// ".broken-2", ".broken-3" and so on when those are taken. Returns the new name; throws
// EFileError when it cannot be moved.
std::string setAside(const std::string& path);

}  // namespace clipforge
