#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace clipforge {

// How far one job has got, as far as its converter's output tells.
struct JobProgress {
    std::optional<double> durationSeconds;  // of the source; none while unknown ("N/A")
    std::optional<double> positionSeconds;  // how much of it has been converted
    std::optional<double> speed;            // times real time, as the converter measures it
    double elapsedSeconds = 0;              // since the job started
    std::optional<int> percent;             // 0 to 100; none without a duration
    std::optional<double> secondsLeft;      // an estimate; none without a percent

    bool operator==(const JobProgress&) const = default;
};

// Reads one job's progress from the converter's output lines: the source's duration from the
// input's "Duration: 00:01:23.45, ..." line, and position and speed from the status lines
// ("... time=00:00:12.34 ... speed=2.5x"). Nothing else of the output is interpreted, and
// lines it does not recognise are passed over, so any converter may be run.
class ProgressReader {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // The job's clock starts now.
    explicit ProgressReader(Clock clock = &std::chrono::steady_clock::now);

    // One complete line of output. True for the duration line and for status lines.
    bool read(std::string_view line);
    JobProgress progress() const;

private:
    bool readDuration(std::string_view line);
    void readStatus() const;

    Clock clock_;
    std::chrono::steady_clock::time_point started_;
    bool durationSeen_ = false;
    std::optional<double> duration_;
    // The converter redraws its status line many times a second, and the runner hands over
    // every one; only the latest is kept, without allocating, and read when the progress is
    // asked for. A longer line than it holds is kept up to its end, where the keys are.
    class LatestLine {
    public:
        void assign(std::string_view line);
        std::string_view view() const { return {bytes_, size_}; }

    private:
        char bytes_[400] = {};
        std::size_t size_ = 0;
    };

    mutable bool statusPending_ = false;
    LatestLine latestStatus_;
    mutable std::optional<double> position_;
    mutable std::optional<double> speed_;
};

// "HH:MM:SS.ss" (hours may have any number of digits) in seconds; none for anything else,
// "N/A" and negative times included.
std::optional<double> parseClockTime(std::string_view text);

}  // namespace clipforge
