#pragma once

#include <string>
#include <string_view>

// Escaping and unescaping of values, byte by byte, with no charset conversion.
namespace clipforge {

class XmlOutput;

// Appends value with the five special characters as named references and
// every byte from 0x80 up as "&#xHH;", so the output is 7-bit ASCII.
void appendEncoded(XmlOutput& output, std::string_view value);

// Resolves the five named references (any letter case) and decimal or
// hexadecimal character references to one byte each (the low eight bits of
// the number). Anything else, a lone "&" included, is kept as it stands.
std::string decodeValue(std::string_view text);
void assignDecoded(std::string& target, std::string_view text);

// Byte-wise comparison that ignores the letter case of A-Z.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace clipforge
