#include "core/RowOrder.h"

#include <algorithm>

namespace clipforge {

namespace {

void appendStaying(std::vector<int>& order, const std::vector<bool>& moving, int from, int to)
{
    for (int row = from; row < to; ++row) {
        if (!moving[static_cast<std::size_t>(row)])
            order.push_back(row);
    }
}

}  // namespace

std::vector<int> orderAfterMove(int count, const std::vector<int>& rows, int gap)
{
    std::vector<bool> moving(static_cast<std::size_t>(count), false);
    for (const int row : rows)
        moving[static_cast<std::size_t>(row)] = true;
    gap = std::clamp(gap, 0, count);
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(count));
    appendStaying(order, moving, 0, gap);
    order.insert(order.end(), rows.begin(), rows.end());
    appendStaying(order, moving, gap, count);
    return order;
}

}  // namespace clipforge
