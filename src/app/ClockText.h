#pragma once

#include <QString>

#include <cstdint>

namespace clipforge {

// "timestamp: hh:mm:ss"; hours are never wrapped, so 100 hours read 100.
QString clockText(std::int64_t seconds);

// "%d files, finished %d of %d": the list's files, and how many of a run's jobs have ended.
QString counterText(int files, int finished, int of);
// The same while the run converts every file of the list.
QString counterText(int jobs, int finished);

}  // namespace clipforge
