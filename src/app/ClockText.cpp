#include "app/ClockText.h"

namespace clipforge {

QString clockText(std::int64_t seconds)
{
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = (seconds / 60) % 60;
    return QString::asprintf("timestamp: %.2lld:%.2lld:%.2lld", static_cast<long long>(hours),
                             static_cast<long long>(minutes), static_cast<long long>(seconds % 60));
}

QString counterText(int jobs, int finished)
{
    return QString::asprintf("%d files, finished %d of %d", jobs, finished, jobs);
}

}  // namespace clipforge
