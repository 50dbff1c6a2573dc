#pragma once

#include <cmath>

namespace clipforge {

// Round to nearest with ties to even, the rounding the pictures and the bar's colours are defined
// with (under the default rounding mode, which nothing here changes).
inline int roundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace clipforge
