#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace clipforge {

class ConverterReport;

// How one job's converter run ended, as the runner reported it.
struct JobEnd {
    std::optional<std::uint32_t> exitCode;  // none: the job never had a process
    bool stopped = false;                   // Stop was asked for while it ran
    std::string startFailure;               // the runner's message when the converter could not start
    int startError = 0;                     // the error number when no process could be made
};

// Whether a job finished, and when it did not, why, in one plain line.
struct JobOutcome {
    bool finished = false;
    std::string reason;
};

// A job finishes only when its converter ended with code 0, reported no error writing its
// output, and left a non-empty output file at outputPath. Otherwise the reason is the
// converter's own error line when it wrote one, else our own words.
JobOutcome judgeJob(const JobEnd& end, const ConverterReport& report, const std::string& outputPath);

}  // namespace clipforge
