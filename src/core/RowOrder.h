#pragma once

#include <vector>

namespace clipforge {

// The order of a list of count rows after the rows given (ascending, each once, all inside the
// list) have moved, keeping their order, to the gap before row gap (count for the end; gap
// counts the list as it is before the move). Element i is the old position of the row that ends
// at position i.
std::vector<int> orderAfterMove(int count, const std::vector<int>& rows, int gap);

}  // namespace clipforge
