#pragma once

#include <string>

namespace clipforge {

// text with every control byte written as an escape, so that a name always prints as one line
// with its tab-separated neighbours apart: "\n", "\r" and "\t" for line feed, carriage return and
// tab, "\x" and two lower-case hexadecimal digits for the others (0x00 to 0x1F and 0x7F; "\x1b" for
// escape). Every other byte, the backslash and bytes from 0x80 up included, is printed as it is,
// so names without control bytes, and the command lines of a dry run, print exactly.
std::string printable(const std::string& text);

}  // namespace clipforge
