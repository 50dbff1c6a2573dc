#pragma once

#include "core/FileDescriptor.h"

#include <chrono>

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

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

// How many bytes wait to be read on fd. Returns 0 or the error number.
int bytesWaiting(int fd, int& waiting);

// One read or write on a non-blocking end: the number of bytes moved, or none. With none, error
// is 0 when the end was not ready or a signal came first, else the error number.
std::optional<std::size_t> readSome(int fd, std::span<char> buffer, int& error);
// Waits until fd can be read (or its writer has gone) or timeout has passed; false on time-out.
bool waitReadable(int fd, std::chrono::milliseconds timeout);

std::optional<std::size_t> writeSome(int fd, std::string_view bytes, int& error);

}  // namespace clipforge
