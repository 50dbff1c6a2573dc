#pragma once

#include <utility>

namespace clipforge {

// Owns one file descriptor and closes it when it goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void close();

private:
    int fd_ = -1;
};

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
