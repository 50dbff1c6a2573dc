#include "JsonFields.h"

#include "core/LocalText.h"

#include <QJsonDocument>
#include <QVariant>

namespace clipforge {

std::optional<JsonFields> JsonFields::parse(std::string_view line)
{
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(line.data(), static_cast<qsizetype>(line.size())));
    if (!document.isObject())
        return std::nullopt;
    return JsonFields(document.object());
}

std::optional<std::string> JsonFields::text(const std::string& key) const
{
    const QJsonValue value = fields_.value(QString::fromStdString(key));
    if (!value.isString())
        return std::nullopt;
    return narrow(value.toString());
}

std::optional<long long> JsonFields::integer(const std::string& key) const
{
    const QVariant value = fields_.value(QString::fromStdString(key)).toVariant();
    if (value.typeId() != QMetaType::LongLong)
        return std::nullopt;
    return value.toLongLong();
}

}  // namespace clipforge
