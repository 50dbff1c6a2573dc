#pragma once

#include <string>

namespace clipforge {

// Whether anyone still has a file open for writing, as far as this system can tell.
enum class WriterCheck {
    NoWriter,     // a read lease was granted (and given back at once): nobody has it open for writing
    Writing,      // the lease was refused because the file is open for writing somewhere
    CannotTell,   // no lease here (not the file's owner, a network file system, not a regular file)
};

// Asks for a read lease on the file at path and releases it at once: holding it would make the
// next writer wait for the lease-break time. Opens the file for reading only and changes nothing.
WriterCheck checkForWriters(const std::string& path);

}  // namespace clipforge
