#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace clipforge {

// Jobs keep their file names and folders as QString, while files, list files and command lines
// carry bytes. File names on Linux are arbitrary bytes, so a plain UTF-8 round trip would turn a
// stray byte such as 0xE9 into U+FFFD and lose the file. These two functions are exact inverses:
// valid UTF-8 becomes the usual characters, and every byte that is not part of valid UTF-8 is kept
// as the lone surrogate U+DC00 + byte, which narrowing turns back into that byte.
QString widen(std::string_view bytes);
std::string narrow(const QString& text);

// The length of the valid UTF-8 sequence at the start of bytes (not empty), or 0 when it is not one:
// overlong forms, surrogates and values beyond U+10FFFF are not. codePoint receives its value.
std::size_t utf8SequenceLength(std::string_view bytes, char32_t& codePoint);
std::size_t utf8SequenceLength(std::string_view bytes);

// Appends codePoint (at most U+10FFFF) to bytes as UTF-8.
void appendUtf8(std::string& bytes, char32_t codePoint);

}  // namespace clipforge
