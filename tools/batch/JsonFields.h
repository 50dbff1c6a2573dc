#pragma once

#include <QJsonObject>

#include <optional>
#include <string>
#include <string_view>

namespace clipforge {

// The fields of one JSON object on one line, as JsonLine writes them. Text comes back as the
// bytes JsonLine was given: "\udcXX" is the byte XX again, as it is for every 8-bit name the
// program widens.
class JsonFields {
public:
    // None when line is not such an object.
    static std::optional<JsonFields> parse(std::string_view line);

    // None when the field is missing, null or of another kind.
    std::optional<std::string> text(const std::string& key) const;
    std::optional<long long> integer(const std::string& key) const;

private:
    explicit JsonFields(QJsonObject fields) : fields_(std::move(fields)) {}

    QJsonObject fields_;
};

}  // namespace clipforge
