#pragma once

#include "BatchJob.h"

#include <vector>

namespace clipforge {

// What a batch run tells its user, event by event; TextReport and JsonReport say it.
class BatchReport {
public:
    virtual ~BatchReport() = default;

    virtual void runStarted(int jobs, int parallel) = 0;
    virtual void jobStarted(const BatchJob& job) = 0;
    // Twice a second while jobs run: the running jobs, and how many have ended.
    virtual void progress(const std::vector<const BatchJob*>& running, int ended, int jobs) = 0;
    virtual void jobEnded(const BatchJobOutcome& outcome) = 0;
    virtual void runEnded(int jobs, int finished, int failed, bool stopped) = 0;
    // A message is about to go to standard error, which may share the terminal.
    virtual void beforeMessage() {}
};

}  // namespace clipforge
