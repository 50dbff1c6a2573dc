#include "core/Errors.h"

#include <cstring>

namespace {

std::string fileMessage(const char* verb, const std::string& path, int systemError)
{
    return std::string("Cannot ") + verb + " file \"" + path + "\". " + std::strerror(systemError);
}

std::string systemErrorText(int code)
{
    return "System Error.  Code: " + std::to_string(code) + ".\r\n" + std::strerror(code);
}

}  // namespace

EFileError EFileError::cannotOpen(const std::string& path, int systemError)
{
    return EFileError(fileMessage("open", path, systemError));
}

EFileError EFileError::cannotCreate(const std::string& path, int systemError)
{
    return EFileError(fileMessage("create", path, systemError));
}

EListError::EListError(int index)
    : clipforge::Error("List index out of bounds (" + std::to_string(index) + ")")
{
}

ESystemError::ESystemError(int code)
    : clipforge::Error(systemErrorText(code))
    , code_(code)
{
}
