#pragma once

#include "core/Errors.h"

#include <QString>

#include <cstdint>

// A failure reported by the operating system: "System Error.  Code: %d.\r\n%s".
class ESystemError : public clipforge::Error {
public:
    explicit ESystemError(int code);

    int code() const { return code_; }

private:
    int code_;
};

namespace clipforge {

// The size in bytes of the file at path, as the file system reports it; a path that
// cannot be examined raises ESystemError with the system's code and text.
std::int64_t GetFileSize64(const QString& path);

}  // namespace clipforge
