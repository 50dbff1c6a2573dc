#include "app/ClockText.h"

#include "engine/ProgressText.h"

namespace clipforge {

QString clockText(std::int64_t seconds)
{
    return QStringLiteral("timestamp: ") + QString::fromStdString(durationText(static_cast<double>(seconds)));
}

QString counterText(int jobs, int finished)
{
    return QString::asprintf("%d files, finished %d of %d", jobs, finished, jobs);
}

}  // namespace clipforge
