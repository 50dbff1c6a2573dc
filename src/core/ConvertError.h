#pragma once

#include "core/Errors.h"

#include <cstdint>
#include <string>

// A text that should hold a number and does not: "'%s' is not a valid integer value".
class EConvertError : public clipforge::Error {
public:
    using clipforge::Error::Error;

    static EConvertError notAnInteger(const std::string& text);
};

namespace clipforge {

// Decimal text with an optional sign, nothing else, within 32 bits; EConvertError otherwise.
std::int32_t textToInt(const std::string& text);

}  // namespace clipforge
