#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "engine/PooledJob.h"

namespace clipforge {

struct PlannedJob;

// clipforge-batch job: converts the one job a plan's line carries with the same driver, checks
// and reasons as convert, and ends with convert's exit code, so that whatever runs the plan (GNU
// parallel, a scheduler) sees the job's outcome, not just the converter's.
class PlannedJobRun {
public:
    PlannedJobRun(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // 0 finished, 1 failed, 130 stopped by a signal.
    int run(const PlannedJob& job);

    // How a job converted by convert() ended.
    struct Ended {
        PooledJobOutcome outcome;
        bool interrupted = false;  // a signal stopped it
        bool endedNow = false;     // a second signal gave it up before its end: outcome says nothing
    };
    // Converts the job, prepare having set it up further before its start; nothing is printed
    // but the confinement's notice and the stopping message.
    Ended convert(const PlannedJob& job, const std::function<void(PooledJob&)>& prepare);
    // The job's line, its reason or moved name, and the exit code.
    int report(const PlannedJob& planned, const PooledJobOutcome& outcome, bool interrupted);

private:
    // The line that says the output took another name than the plan chose; nothing when it did not.
    void reportMovedName(const PlannedJob& job, const std::string& output);

    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace clipforge
