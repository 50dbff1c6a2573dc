#pragma once

#include <stdexcept>
#include <string>

namespace clipforge {

// Every error the program raises on purpose derives from this, so the desktop
// program's one catch-all can show its message and carry on.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace clipforge

// A file that cannot be opened or created: "Cannot open file "%s". %s" and
// "Cannot create file "%s". %s", the second place holding the system's text.
class EFileError : public clipforge::Error {
public:
    using clipforge::Error::Error;

    static EFileError cannotOpen(const std::string& path, int systemError);
    static EFileError cannotCreate(const std::string& path, int systemError);
};

// An index outside a list: "List index out of bounds (%d)".
class EListError : public clipforge::Error {
public:
    using clipforge::Error::Error;

    explicit EListError(int index);
};

// Every failure of the XML reader.
class EXmlError : public clipforge::Error {
public:
    using clipforge::Error::Error;
};

// A failure reported by the operating system: "System Error.  Code: %d.\r\n%s".
class ESystemError : public clipforge::Error {
public:
    explicit ESystemError(int code);

    int code() const { return code_; }

private:
    int code_;
};
