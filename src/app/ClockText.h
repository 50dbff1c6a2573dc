#pragma once

#include <QString>

#include <cstdint>

namespace clipforge {

// "timestamp: hh:mm:ss"; hours are never wrapped, so 100 hours read 100.
QString clockText(std::int64_t seconds);

// "%d files, finished %d of %d".
QString counterText(int jobs, int finished);

}  // namespace clipforge
