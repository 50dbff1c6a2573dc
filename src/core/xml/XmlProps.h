#pragma once

#include <string>
#include <string_view>
#include <vector>

// One attribute of an element: `prefix:name="value"`, value held decoded.
struct TXmlProp {
    std::string Name;
    std::string Prefix;
    std::string Value;
};

// The attributes of one element, in the order they were read or added.
// Repeated names are all kept.
class TXmlProps {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const TXmlProp& Item(int index) const;
    TXmlProp& Item(int index);

    TXmlProp& Add(std::string name, std::string prefix, std::string value);

    // The value of the first attribute called name (exact spelling), or
    // defaultValue when there is none.
    std::string Value(std::string_view name, std::string_view defaultValue) const;

    void Clear() { items_.clear(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<TXmlProp> items_;
};
