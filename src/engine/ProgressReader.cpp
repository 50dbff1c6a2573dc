#include "engine/ProgressReader.h"

#include "engine/Decimals.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace clipforge {
namespace {

constexpr std::string_view DurationKey = "Duration: ";
constexpr std::string_view TimeKey = "time";
constexpr std::string_view SpeedKey = "speed";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct StatusValue {
    const char* key;
    std::string_view text;
};

// The last "key=value" of a status line before end. The converter pads values with spaces
// after the "=" ("speed= 5.5x") and separates pairs with spaces; the key must begin a word, so
// that "time=" is not found inside another key. The search runs backwards, from one "=" to
// the one before: the status line is handed over many times a second, and its keys lie near
// its end. Written with plain pointers, as it runs for every line the converter writes.
std::optional<StatusValue> lastValue(std::string_view line, std::string_view key, const char* end)
{
    const char* const begin = line.data();
    const char* const lineEnd = begin + line.size();
    while (end - begin > static_cast<std::ptrdiff_t>(key.size())) {
        const auto* equals = static_cast<const char*>(::memrchr(begin, '=', static_cast<std::size_t>(end - begin)));
        if (!equals)
            return std::nullopt;
        end = equals;
        const char* keyAt = equals - key.size();
        if (keyAt < begin || std::memcmp(keyAt, key.data(), key.size()) != 0 || (keyAt > begin && keyAt[-1] != ' '))
            continue;
        const char* value = equals + 1;
        while (value < lineEnd && *value == ' ')
            ++value;
        const auto* space = static_cast<const char*>(std::memchr(value, ' ', static_cast<std::size_t>(lineEnd - value)));
        const char* valueEnd = space ? space : lineEnd;
        return StatusValue{keyAt, std::string_view(value, static_cast<std::size_t>(valueEnd - value))};
    }
    return std::nullopt;
}

std::optional<double> parseSpeed(std::string_view text)
{
    if (text.empty() || text.back() != 'x')
        return std::nullopt;
    const std::optional<double> speed = decimalValue(text.substr(0, text.size() - 1));
    return speed && *speed >= 0 ? speed : std::nullopt;
}

double seconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

}  // namespace

std::optional<double> parseClockTime(std::string_view text)
{
    const std::size_t hoursEnd = text.find(':');
    if (hoursEnd == 0 || hoursEnd == std::string_view::npos || text.size() < hoursEnd + 7)
        return std::nullopt;
    const std::string_view hours = text.substr(0, hoursEnd);
    const std::string_view minutes = text.substr(hoursEnd + 1, 2);
    if (!std::all_of(hours.begin(), hours.end(), isDigit) || !std::all_of(minutes.begin(), minutes.end(), isDigit) ||
        text[hoursEnd + 3] != ':' || !isDigit(text[hoursEnd + 4]))
        return std::nullopt;
    const std::optional<double> secondsPart = decimalValue(text.substr(hoursEnd + 4));
    const std::optional<double> hoursPart = decimalValue(hours);
    if (!secondsPart || !hoursPart)
        return std::nullopt;
    return *hoursPart * 3600 + ((minutes[0] - '0') * 10 + (minutes[1] - '0')) * 60 + *secondsPart;
}

void ProgressReader::LatestLine::assign(std::string_view line)
{
    size_ = std::min(line.size(), sizeof bytes_);
    std::memcpy(bytes_, line.data() + line.size() - size_, size_);
}

ProgressReader::ProgressReader(Clock clock) : clock_(std::move(clock)), started_(clock_()) {}

// Only what marks a status line is looked for here, and first where the converter puts it, as
// its last key; the line is read when progress() asks.
bool ProgressReader::read(std::string_view line)
{
    const auto* last = static_cast<const char*>(::memrchr(line.data(), '=', line.size()));
    const bool speedLast = last && last - line.data() >= 6 && std::memcmp(last - 6, " speed", 6) == 0;
    if (!speedLast && !lastValue(line, SpeedKey, line.data() + line.size()))
        return readDuration(line);
    latestStatus_.assign(line);
    statusPending_ = true;
    return true;
}

// Only the first duration counts: it is the input's. Later ones (stream tags, a second
// input) describe something else.
bool ProgressReader::readDuration(std::string_view line)
{
    if (durationSeen_)
        return false;
    const std::size_t text = line.find_first_not_of(' ');
    if (text == std::string_view::npos || line.substr(text, DurationKey.size()) != DurationKey)
        return false;
    line.remove_prefix(text + DurationKey.size());
    durationSeen_ = true;
    duration_ = parseClockTime(line.substr(0, line.find(',')));
    return duration_.has_value();
}

void ProgressReader::readStatus() const
{
    statusPending_ = false;
    const std::string_view line = latestStatus_.view();
    const std::optional<StatusValue> speed = lastValue(line, SpeedKey, line.data() + line.size());
    const std::optional<StatusValue> time = speed ? lastValue(line, TimeKey, speed->key) : std::nullopt;
    if (!time)
        return;
    // At the start the converter may print "N/A" or a large negative time: no position yet.
    if (const std::optional<double> position = parseClockTime(time->text))
        position_ = std::max(position_.value_or(0), *position);
    speed_ = parseSpeed(speed->text);
}

JobProgress ProgressReader::progress() const
{
    if (statusPending_)
        readStatus();
    JobProgress result;
    result.durationSeconds = duration_;
    result.positionSeconds = position_;
    result.speed = speed_;
    result.elapsedSeconds = seconds(clock_() - started_);
    if (!duration_ || *duration_ <= 0)
        return result;
    const double done = std::clamp(position_.value_or(0) / *duration_, 0.0, 1.0);
    // A hair added so that 0.29 x 100 counts as 29, not 28.999...
    result.percent = static_cast<int>(std::floor(done * 100 + 1e-9));
    const double left = *duration_ * (1 - done);
    if (speed_ && *speed_ > 0)
        result.secondsLeft = left / *speed_;
    else if (position_ && *position_ > 0)
        result.secondsLeft = result.elapsedSeconds * left / *position_;
    return result;
}

}  // namespace clipforge
