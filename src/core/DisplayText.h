#pragma once

#include <string>
#include <string_view>

namespace clipforge {

enum class Backslash { Escaped, Kept };

// A file name, an argument or a converter's line as it may be shown in a message or a text
// line: it cannot end the line, forge another one or drive a terminal. Line feed, carriage
// return and tab become "\n", "\r" and "\t"; every other control (0x00-0x1F, DEL, and the
// bytes of the C1 characters U+0080-U+009F) and every byte that is not part of well-formed
// UTF-8 becomes "\x" and two lower-case hexadecimal digits; the backslash becomes "\\". Every
// other character is kept as it is, so the shown text reads back to the exact bytes.
// Backslash::Kept leaves backslashes alone, for text that must stay exactly what runs (a dry
// run's command lines), at the price of that read-back.
std::string displayText(std::string_view text, Backslash backslash = Backslash::Escaped);

}  // namespace clipforge
