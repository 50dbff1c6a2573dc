#pragma once

#include <cstdint>
#include <string>

namespace clipforge {

// A file size as people read it, in decimal units with one decimal: "512 bytes", "1 byte",
// "12.4 MB", "1.0 GB". A value that would round to 1000 of a unit is given in the next one.
std::string sizeText(std::int64_t bytes);

}  // namespace clipforge
