#include "engine/ProgressText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace clipforge {

std::string durationText(double seconds)
{
    const auto whole = static_cast<long long>(std::max(0.0, std::floor(seconds)));
    char text[32];
    std::snprintf(text, sizeof text, "%.2lld:%.2lld:%.2lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

std::string speedText(const JobProgress& progress)
{
    if (!progress.speed)
        return {};
    // Three digits, as the converter shows them, but never in exponent form; to_chars writes a
    // point whatever the locale.
    char text[400];
    const double speed = *progress.speed;
    const auto end = speed >= 100 ? std::to_chars(text, text + sizeof text, speed, std::chars_format::fixed, 0).ptr
                                  : std::to_chars(text, text + sizeof text, speed, std::chars_format::general, 3).ptr;
    return std::string(text, end) + "x";
}

std::string progressText(const JobProgress& progress)
{
    if (!progress.percent) {
        const std::string speed = speedText(progress);
        return durationText(progress.elapsedSeconds) + " elapsed" + (speed.empty() ? "" : ", " + speed);
    }
    std::string text = std::to_string(*progress.percent) + "%";
    if (progress.secondsLeft)
        text += ", about " + durationText(std::ceil(*progress.secondsLeft)) + " left";
    return text;
}

}  // namespace clipforge
