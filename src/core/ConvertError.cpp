#include "core/ConvertError.h"

#include <charconv>

EConvertError EConvertError::notAnInteger(const std::string& text)
{
    return EConvertError("'" + text + "' is not a valid integer value");
}

namespace clipforge {

std::int32_t textToInt(const std::string& text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-') ++first;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) throw EConvertError::notAnInteger(text);
    return value;
}

}  // namespace clipforge
