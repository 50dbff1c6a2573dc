#pragma once

#include "BatchJob.h"

#include <optional>
#include <string>
#include <vector>

namespace clipforge {

// What a batch run tells its user, event by event; TextReport and JsonReport say it.
class BatchReport {
public:
    virtual ~BatchReport() = default;

    // confined: whether the converters can write only into their private folders.
    virtual void runStarted(int jobs, int parallel, bool confined) = 0;
    virtual void jobStarted(const BatchJob& job) = 0;
    // Twice a second while jobs run: the running jobs, and how many have ended.
    virtual void progress(const std::vector<const BatchJob*>& running, int ended, int jobs) = 0;
    virtual void jobEnded(const BatchJobOutcome& outcome) = 0;
    // A job an earlier run finished (--resume), with the output it left; it does not run.
    virtual void jobSkipped(int index, const std::string& output) = 0;
    // skipped: jobs an earlier run finished, not counted in finished; none unless resuming.
    virtual void runEnded(int jobs, int finished, int failed, std::optional<int> skipped, bool stopped) = 0;
    // A message is about to go to standard error, which may share the terminal.
    virtual void beforeMessage() {}
};

}  // namespace clipforge
