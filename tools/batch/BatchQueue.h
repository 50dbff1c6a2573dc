#pragma once

#include "BatchJob.h"
#include "engine/LeftoverSweeps.h"
#include "engine/OverwriteManager.h"

#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCommandManager;
class TTreeManager;

namespace clipforge {

class BatchReport;
class PacketReader;

// Converts the jobs of a list with up to `parallel` converters at once, starting them in list
// order, and marks each job of the list finished or failed as it ends. No two jobs of a run get
// the same output name: the jobs share one chooser, which remembers every name it gave out, so
// a running job's name counts as taken although its file may not exist yet.
class BatchQueue {
public:
    BatchQueue(const TCommandManager& catalogue, TTreeManager& list, BatchReport& report, int parallel);
    ~BatchQueue();
    BatchQueue(const BatchQueue&) = delete;
    BatchQueue& operator=(const BatchQueue&) = delete;

    // Returns when every job has ended, or, after stop(), every running one.
    void run();
    // Stops every running converter; no further job starts.
    void stop();
    // Gives up every running job at once: its converter is killed and its private folder
    // removed, and it never ends; run() returns.
    void abandon();
    bool stopping() const { return stopping_; }

    // Keeps run() going when the list runs out, for jobs appended later (a watched folder's
    // arrivals); only stop() ends it then. Before run().
    void keepOpen() { open_ = true; }
    // Starts jobs appended to the list since, as far as there is room.
    void jobsAdded();

    // Checks every job's output as mode says; before run().
    void checkOutputs(CheckMode mode);

    // Called for every job that fails, right after it is reported.
    std::function<void(const BatchJobOutcome&)> onJobFailed;
    // Called for every job that finishes although its check found a fault (--check warn).
    std::function<void(const BatchJobOutcome&)> onJobWarned;
    // Jobs for which it answers true are not run (an earlier run finished them).
    std::function<bool(int row)> skip;
    // Called just before a job's finished output is committed (BatchJob::onCommitting).
    std::function<void(const BatchJob& job, const std::string& written, const std::string& chosen)> beforeCommit;
    // Called for every job that ends, before it is reported.
    std::function<void(const BatchJob& job, const BatchJobOutcome& outcome)> afterJob;

private:
    void startMore();
    void startJob(int row);
    void jobEnded(BatchJob& job);
    void showProgress();
    std::vector<const BatchJob*> runningJobs() const;

    const TCommandManager& catalogue_;
    TTreeManager& list_;
    BatchReport& report_;
    int parallel_;
    int next_ = 0;
    int ended_ = 0;
    bool stopping_ = false;
    bool open_ = false;
    TOverwriteManager names_;
    LeftoverSweeps sweeps_;
    CheckMode check_ = CheckMode::Off;
    // One reader for the whole run: its helper is started once, not once a job.
    std::shared_ptr<PacketReader> packets_;
    std::vector<std::unique_ptr<BatchJob>> running_;
    // Jobs that have ended, kept until their driver's end notification has returned.
    std::vector<std::unique_ptr<BatchJob>> retired_;
    QTimer progressTimer_;
    QEventLoop loop_;
};

}  // namespace clipforge
