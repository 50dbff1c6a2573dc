#include "core/xml/XmlProps.h"

#include "core/Errors.h"

#include <utility>

const TXmlProp& TXmlProps::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
    return items_[static_cast<size_t>(index)];
}

TXmlProp& TXmlProps::Item(int index)
{
    return const_cast<TXmlProp&>(std::as_const(*this).Item(index));
}

TXmlProp& TXmlProps::Add(std::string name, std::string prefix, std::string value)
{
    return items_.emplace_back(TXmlProp{std::move(name), std::move(prefix), std::move(value)});
}

std::string TXmlProps::Value(std::string_view name, std::string_view defaultValue) const
{
    for (const auto& item : items_) {
        if (item.Name == name)
            return item.Value;
    }
    return std::string(defaultValue);
}
