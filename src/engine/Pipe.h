#pragma once

#include "core/FileDescriptor.h"

namespace clipforge {

// An anonymous pipe whose two ends are closed on exec, so that no child
// inherits them unless it is given them on purpose.
struct Pipe {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;
};

// Returns 0 or the error number.
int createPipe(Pipe& pipe);

int setNonBlocking(int fd);

// Asks for a larger pipe buffer; keeps the old size when the system refuses.
void growPipe(const Pipe& pipe, int bytes);

}  // namespace clipforge
