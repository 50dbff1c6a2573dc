#include "core/SizeText.h"

#include <cmath>
#include <iterator>

namespace clipforge {

std::string sizeText(std::int64_t bytes)
{
    if (bytes == 1)
        return "1 byte";
    if (bytes < 1000)
        return std::to_string(bytes) + " bytes";
    static const char* const units[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1000.0;
    std::size_t unit = 0;
    while (std::llround(value * 10.0) >= 10000 && unit + 1 < std::size(units)) {
        value /= 1000.0;
        ++unit;
    }
    // Digits by hand: the program runs in the user's locale, and the hint's number should not
    // change its decimal mark with it while the rest of the hint stays English.
    const long long tenths = std::llround(value * 10.0);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + units[unit];
}

}  // namespace clipforge
