#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace clipforge {

// The fields of one flat JSON object on one line, as JsonLine writes them: text, numbers, true,
// false and null, no nesting. Text comes back as the bytes JsonLine was given: "\udcXX" is the
// byte XX again.
class JsonFields {
public:
    // None when line is not such an object.
    static std::optional<JsonFields> parse(std::string_view line);

    // None when the field is missing, null or of another kind.
    std::optional<std::string> text(const std::string& key) const;
    std::optional<long long> integer(const std::string& key) const;

private:
    struct Value {
        bool isText = false;
        std::string bytes;  // the text, or a number's or a word's own characters
    };

    std::map<std::string, Value> fields_;
};

}  // namespace clipforge
