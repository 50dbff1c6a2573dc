#include "core/DisplayText.h"

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

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 character at the start of text, or 0 when the bytes
// there are not one (a stray continuation byte, a cut or over-long sequence, a surrogate, a
// code point beyond U+10FFFF).
std::size_t characterLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    const auto second = static_cast<unsigned char>(text[1]);
    if (second < low || second > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!isContinuation(static_cast<unsigned char>(text[i])))
            return 0;
    return length;
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
        } else if (const std::size_t length = characterLength(text); length == 0) {
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
