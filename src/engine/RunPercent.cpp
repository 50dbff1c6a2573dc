#include "engine/RunPercent.h"

#include <algorithm>

namespace clipforge {

std::int32_t runPercent(std::uint32_t index, std::uint32_t count, std::int32_t jobPercent)
{
    if (count == 0)
        return 0;
    // The same unsigned arithmetic as the value set at each job's end, so the two always meet.
    const std::uint32_t start = index * 100u / count;
    const std::uint32_t end = (index + 1) * 100u / count;
    const auto done = static_cast<std::uint32_t>(std::clamp(jobPercent, 0, 100));
    return static_cast<std::int32_t>(start + (end - start) * done / 100u);
}

}  // namespace clipforge
