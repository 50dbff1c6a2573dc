#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clipforge {

// One JSON object on one line, built field by field in the order given. Text is taken as bytes:
// valid UTF-8 passes through, control characters, quotes and backslashes are escaped, and every
// byte that is not part of valid UTF-8 becomes "\udcXX" (XX the byte), the way Python's
// "surrogateescape" reads such names, so a file name that is not UTF-8 still comes through.
class JsonLine {
public:
    JsonLine& text(std::string_view key, std::string_view value);
    JsonLine& textOrNull(std::string_view key, const std::optional<std::string>& value);
    JsonLine& integer(std::string_view key, long long value);
    JsonLine& integerOrNull(std::string_view key, const std::optional<long long>& value);
    JsonLine& number(std::string_view key, const std::optional<double>& value);
    JsonLine& flag(std::string_view key, bool value);
    JsonLine& object(std::string_view key, const JsonLine& value);
    JsonLine& objects(std::string_view key, const std::vector<JsonLine>& values);
    JsonLine& texts(std::string_view key, const std::vector<std::string>& values);

    // The object, without a line end.
    std::string str() const { return fields_ + "}"; }

private:
    void key(std::string_view name);

    std::string fields_ = "{";
};

// value as a JSON string, quotes included.
std::string jsonString(std::string_view value);

}  // namespace clipforge
