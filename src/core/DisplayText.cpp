#include "core/DisplayText.h"

#include "core/LocalText.h"

namespace clipforge {

namespace {

void appendHex(std::string& out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

void appendControl(std::string& out, unsigned char byte)
{
    switch (byte) {
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        appendHex(out, byte);
    }
}

bool isC1Control(std::string_view character)
{
    return character.size() == 2 && static_cast<unsigned char>(character[0]) == 0xC2 &&
           static_cast<unsigned char>(character[1]) <= 0x9F;
}

}  // namespace

std::string displayText(std::string_view text, Backslash backslash)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text.front());
        if (byte < 0x20 || byte == 0x7F) {
            appendControl(out, byte);
            text.remove_prefix(1);
        } else if (byte == '\\') {
            out += backslash == Backslash::Escaped ? "\\\\" : "\\";
            text.remove_prefix(1);
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
            text.remove_prefix(1);
        } else if (const std::size_t length = utf8SequenceLength(text); length == 0) {
            appendHex(out, byte);
            text.remove_prefix(1);
        } else {
            const std::string_view character = text.substr(0, length);
            if (isC1Control(character))
                for (const char part : character)
                    appendHex(out, static_cast<unsigned char>(part));
            else
                out += character;
            text.remove_prefix(length);
        }
    }
    return out;
}

}  // namespace clipforge
