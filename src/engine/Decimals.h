#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace clipforge {

// Numbers with a decimal point, written and read the same in every locale: the program runs in
// the user's, which may write a decimal comma, while the converter and the packet reader always
// write and expect a point.

// value with a point and the given number of decimals, never an exponent.
std::string decimalText(double value, int decimals);

// The finite number text is, whole; none when it is not one.
std::optional<double> decimalValue(std::string_view text);

}  // namespace clipforge
