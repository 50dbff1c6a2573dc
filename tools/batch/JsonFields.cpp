#include "JsonFields.h"

#include "core/LocalText.h"

#include <charconv>

namespace clipforge {
namespace {

// Reads one JSON text at the start of rest (after its opening quote is checked) into bytes.
class TextReader {
public:
    explicit TextReader(std::string_view& rest) : rest_(rest) {}

    bool read(std::string& bytes)
    {
        if (!take('"'))
            return false;
        while (!rest_.empty()) {
            const char c = rest_.front();
            rest_.remove_prefix(1);
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                bytes += c;
            } else if (!escape(bytes)) {
                return false;
            }
        }
        return false;
    }

private:
    bool take(char c)
    {
        if (rest_.empty() || rest_.front() != c)
            return false;
        rest_.remove_prefix(1);
        return true;
    }

    bool escape(std::string& bytes)
    {
        if (rest_.empty())
            return false;
        const char c = rest_.front();
        rest_.remove_prefix(1);
        static const std::string_view simple = "\"\\/bfnrt";
        static const std::string_view meaning = "\"\\/\b\f\n\r\t";
        if (const auto at = simple.find(c); at != std::string_view::npos) {
            bytes += meaning[at];
            return true;
        }
        unsigned unit = 0;
        if (c != 'u' || !hex(unit))
            return false;
        if (unit >= 0xDC00 && unit <= 0xDCFF && unit - 0xDC00 >= 0x80) {
            bytes += static_cast<char>(unit - 0xDC00);
            return true;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF)
            return pair(unit, bytes);
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            return false;
        appendUtf8(bytes, unit);
        return true;
    }

    bool pair(unsigned high, std::string& bytes)
    {
        unsigned low = 0;
        if (!take('\\') || !take('u') || !hex(low) || low < 0xDC00 || low > 0xDFFF)
            return false;
        appendUtf8(bytes, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
        return true;
    }

    bool hex(unsigned& unit)
    {
        if (rest_.size() < 4)
            return false;
        const auto [end, error] = std::from_chars(rest_.data(), rest_.data() + 4, unit, 16);
        if (error != std::errc() || end != rest_.data() + 4)
            return false;
        rest_.remove_prefix(4);
        return true;
    }

    std::string_view& rest_;
};

// A number, true, false or null: its characters, up to the next comma or brace.
bool readWord(std::string_view& rest, std::string& word)
{
    const auto end = rest.find_first_of(",}");
    if (end == 0 || end == std::string_view::npos)
        return false;
    word = std::string(rest.substr(0, end));
    rest.remove_prefix(end);
    return word.find_first_of(" \t\"{[") == std::string::npos;
}

}  // namespace

std::optional<JsonFields> JsonFields::parse(std::string_view line)
{
    JsonFields result;
    if (line.size() < 2 || line.front() != '{' || line.back() != '}')
        return std::nullopt;
    std::string_view rest = line.substr(1);
    if (rest == "}")
        return result;
    for (;;) {
        std::string key;
        Value value;
        if (!TextReader(rest).read(key) || rest.empty() || rest.front() != ':')
            return std::nullopt;
        rest.remove_prefix(1);
        value.isText = !rest.empty() && rest.front() == '"';
        if (!(value.isText ? TextReader(rest).read(value.bytes) : readWord(rest, value.bytes)))
            return std::nullopt;
        result.fields_[key] = std::move(value);
        if (rest == "}")
            return result;
        if (rest.empty() || rest.front() != ',')
            return std::nullopt;
        rest.remove_prefix(1);
    }
}

std::optional<std::string> JsonFields::text(const std::string& key) const
{
    const auto found = fields_.find(key);
    if (found == fields_.end() || !found->second.isText)
        return std::nullopt;
    return found->second.bytes;
}

std::optional<long long> JsonFields::integer(const std::string& key) const
{
    const auto found = fields_.find(key);
    if (found == fields_.end() || found->second.isText)
        return std::nullopt;
    const std::string& digits = found->second.bytes;
    long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

}  // namespace clipforge
