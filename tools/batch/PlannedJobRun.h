#pragma once

#include <iosfwd>
#include <string>

namespace clipforge {

struct PooledJobOutcome;
struct PlannedJob;

// clipforge-batch job: converts the one job a plan's line carries with the same driver, checks
// and reasons as convert, and ends with convert's exit code, so that whatever runs the plan (GNU
// parallel, a scheduler) sees the job's outcome, not just the converter's.
class PlannedJobRun {
public:
    PlannedJobRun(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // 0 finished, 1 failed, 130 stopped by a signal.
    int run(const PlannedJob& job);

private:
    // The job's line, its reason or moved name, and the exit code.
    int report(const PlannedJob& planned, const PooledJobOutcome& outcome, bool interrupted);
    void reportMovedName(const PlannedJob& job, const std::string& output);

    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace clipforge
