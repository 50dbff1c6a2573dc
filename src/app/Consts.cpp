#include "app/Consts.h"

#include "core/LocalText.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

std::string systemErrorText(int code)
{
    return "System Error.  Code: " + std::to_string(code) + ".\r\n" + std::strerror(code);
}

}  // namespace

ESystemError::ESystemError(int code)
    : clipforge::Error(systemErrorText(code))
    , code_(code)
{
}

namespace clipforge {

std::int64_t GetFileSize64(const QString& path)
{
    struct stat status {};
    if (::stat(narrow(path).c_str(), &status) != 0)
        throw ESystemError(errno);
    return static_cast<std::int64_t>(status.st_size);
}

}  // namespace clipforge
