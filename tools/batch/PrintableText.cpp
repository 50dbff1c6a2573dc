#include "PrintableText.h"

namespace clipforge {
namespace {

bool isControl(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7F;
}

void appendEscape(std::string& out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
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
        out += "\\x";
        out += digits[byte >> 4];
        out += digits[byte & 0x0F];
    }
}

}  // namespace

std::string printable(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char byte : text) {
        if (isControl(static_cast<unsigned char>(byte)))
            appendEscape(out, static_cast<unsigned char>(byte));
        else
            out += byte;
    }
    return out;
}

}  // namespace clipforge
