#include "app/ClockText.h"

#include "engine/ProgressText.h"

namespace clipforge {

QString clockText(std::int64_t seconds)
{
    return QStringLiteral("timestamp: ") + QString::fromStdString(durationText(static_cast<double>(seconds)));
}

QString counterText(int files, int finished, int of)
{
    return QString::asprintf("%d files, finished %d of %d", files, finished, of);
}

QString counterText(int jobs, int finished)
{
    return counterText(jobs, finished, jobs);
}

}  // namespace clipforge
