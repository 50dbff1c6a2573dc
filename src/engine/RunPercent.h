#pragma once

#include <cstdint>

namespace clipforge {

// Where the run's progress bar stands while the job at index (of count) is jobPercent done: at
// the value the job's end will set, (index + 1) x 100 div count, once it has ended, and in
// between in proportion, starting from the value the job before it ended at.
std::int32_t runPercent(std::uint32_t index, std::uint32_t count, std::int32_t jobPercent);

}  // namespace clipforge
