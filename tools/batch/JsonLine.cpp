#include "JsonLine.h"

#include "core/LocalText.h"
#include "engine/Decimals.h"

#include <cmath>
#include <cstdio>

namespace clipforge {
namespace {

std::string escaped(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", value);
    return text;
}

// U+0080 to U+009F, which a terminal may take as controls (U+009B starts a sequence) when a line
// is printed: valid JSON, but written escaped.
bool isC1Control(std::string_view value, std::size_t length)
{
    return length == 2 && static_cast<unsigned char>(value[0]) == 0xC2 && static_cast<unsigned char>(value[1]) <= 0x9F;
}

}  // namespace

std::string jsonString(std::string_view value)
{
    std::string result = "\"";
    while (!value.empty()) {
        const char c = value.front();
        const std::size_t length = utf8SequenceLength(value);
        if (length == 0)
            result += escaped(0xDC00u + static_cast<unsigned char>(c));
        else if (c == '"' || c == '\\')
            result += std::string("\\") + c;
        else if (c == '\n')
            result += "\\n";
        else if (c == '\t')
            result += "\\t";
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            result += escaped(static_cast<unsigned char>(c));
        else if (isC1Control(value, length))
            result += escaped(static_cast<unsigned char>(value[1]));
        else
            result.append(value.substr(0, length));
        value.remove_prefix(std::max<std::size_t>(length, 1));
    }
    return result + "\"";
}

void JsonLine::key(std::string_view name)
{
    if (fields_.size() > 1)
        fields_ += ',';
    fields_ += jsonString(name) + ':';
}

JsonLine& JsonLine::text(std::string_view name, std::string_view value)
{
    key(name);
    fields_ += jsonString(value);
    return *this;
}

JsonLine& JsonLine::textOrNull(std::string_view name, const std::optional<std::string>& value)
{
    if (!value) {
        key(name);
        fields_ += "null";
        return *this;
    }
    return text(name, std::string_view(*value));
}

JsonLine& JsonLine::integer(std::string_view name, long long value)
{
    key(name);
    fields_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::integerOrNull(std::string_view name, const std::optional<long long>& value)
{
    if (value)
        return integer(name, *value);
    key(name);
    fields_ += "null";
    return *this;
}

// Two decimals are all a progress figure means, and JSON has no NaN or infinity.
JsonLine& JsonLine::number(std::string_view name, const std::optional<double>& value)
{
    key(name);
    if (!value || !std::isfinite(*value)) {
        fields_ += "null";
        return *this;
    }
    fields_ += decimalText(*value, 2);
    return *this;
}

JsonLine& JsonLine::object(std::string_view name, const JsonLine& value)
{
    key(name);
    fields_ += value.str();
    return *this;
}

JsonLine& JsonLine::objects(std::string_view name, const std::vector<JsonLine>& values)
{
    key(name);
    fields_ += "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        fields_ += (i ? "," : "") + values[i].str();
    fields_ += "]";
    return *this;
}

JsonLine& JsonLine::texts(std::string_view name, const std::vector<std::string>& values)
{
    key(name);
    fields_ += "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        fields_ += (i ? "," : "") + jsonString(values[i]);
    fields_ += "]";
    return *this;
}

JsonLine& JsonLine::flag(std::string_view name, bool value)
{
    key(name);
    fields_ += value ? "true" : "false";
    return *this;
}

}  // namespace clipforge
