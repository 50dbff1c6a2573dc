#pragma once

#include <cstddef>
#include <string>

// How long a file name may be, and how a name is shortened to fit.
namespace clipforge {

// The longest file name, in bytes, that folder accepts; 255 when the folder cannot say (it may
// not exist yet, or the name has no folder part at all).
std::size_t fileNameLimit(const std::string& folder);

// The first bytes of text, at most maxBytes of them, cut before a UTF-8 continuation byte so that
// no character is split.
std::string cutToFit(const std::string& text, std::size_t maxBytes);

}  // namespace clipforge
