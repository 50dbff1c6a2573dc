#pragma once

#include "engine/JobPool.h"

#include <QEventLoop>

#include <functional>
#include <string>

class TCommandManager;
class TTreeManager;

namespace clipforge {

class BatchReport;

// A run of the batch tool: the jobs of a list through the shared worker pool, up to `parallel`
// at once, each start, end and progress told to the report.
class BatchQueue {
public:
    BatchQueue(const TCommandManager& catalogue, TTreeManager& list, BatchReport& report, int parallel);
    BatchQueue(const BatchQueue&) = delete;
    BatchQueue& operator=(const BatchQueue&) = delete;

    // Returns when every job has ended, or, after stop(), every running one.
    void run();
    // Stops every running converter; no further job starts.
    void stop() { pool_.stop(); }
    // Gives up every running job at once (see JobPool::abandon); run() returns.
    void abandon() { pool_.abandon(); }
    bool stopping() const { return pool_.stopping(); }

    // Keeps run() going when the list runs out, for jobs appended later; only stop() ends it then.
    void keepOpen() { pool_.keepOpen(); }
    // Starts jobs appended to the list since, as far as there is room.
    void jobsAdded() { pool_.jobsAdded(); }
    // Checks every job's output as mode says; before run().
    void checkOutputs(CheckMode mode) { pool_.checkOutputs(mode); }
    // Splits long jobs over the workers (JobPool::splitJobs); before run().
    void splitJobs(const SplitOptions& options) { pool_.splitJobs(options); }

    // Called for every job that fails, right after it is reported.
    std::function<void(const PooledJobOutcome&)> onJobFailed;
    // Called for every job that finishes although its check found a fault (--check warn).
    std::function<void(const PooledJobOutcome&)> onJobWarned;
    // Jobs for which it answers true are not run (an earlier run finished them).
    std::function<bool(int row)> skip;
    // Called just before a job's finished output is committed (PooledJob::onCommitting).
    std::function<void(const PooledJob& job, const std::string& written, const std::string& chosen)> beforeCommit;
    // Called for every job that ends, before it is reported.
    std::function<void(const PooledJob& job, const PooledJobOutcome& outcome)> afterJob;

private:
    void jobEnded(const PooledJob& job, const PooledJobOutcome& outcome);

    BatchReport& report_;
    JobPool pool_;
    QEventLoop loop_;
    bool ended_ = false;
};

}  // namespace clipforge
