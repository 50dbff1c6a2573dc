#pragma once

#include "engine/LeftoverSweeps.h"
#include "engine/OutputCheck.h"
#include "engine/OverwriteManager.h"
#include "engine/PooledJob.h"
#include "engine/SplitPlan.h"
#include "engine/TaskWorkers.h"

#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class TCommandManager;
class TTreeManager;

namespace clipforge {

class PacketReader;

// The worker pool every way of running several jobs shares: converts the jobs of a list with
// up to `workers` drivers at once, starting them in list order, and marks each job of the list
// converting, then finished or failed. No two jobs of a run get the same output name: the jobs
// share one chooser, which remembers every name it gave out, so a running job's name counts as
// taken although its file may not exist yet. They share the clearing of leftovers and the
// packet reader of the output check likewise. A split job's parts and sound are tasks on the
// same workers: each worker runs one converter, a whole job's or a task's, and waiting tasks
// (longest first) go before jobs not yet started.
class JobPool : public TaskWorkers {
public:
    JobPool(const TCommandManager& catalogue, TTreeManager& list, int workers);
    ~JobPool() override;
    JobPool(const JobPool&) = delete;
    JobPool& operator=(const JobPool&) = delete;

    // Starts as many jobs as there are workers; more start as jobs end. onRunEnded tells when
    // every job has ended, or, after stop(), every running one.
    void start();
    bool running() const { return started_ && !runEnded_; }
    // Stops every running converter; no further job starts.
    void stop();
    // Gives up every running job at once: its converter is killed and its private folder
    // removed, and it never ends; the run ends at once.
    void abandon();
    bool stopping() const { return stopping_; }
    int workers() const { return workers_; }

    // Keeps the run going when the list runs out, for jobs appended later (a watched folder's
    // arrivals); only stop() ends it then. Before start().
    void keepOpen() { open_ = true; }
    // Starts jobs appended to the list since, as far as there is room.
    void jobsAdded();

    // Checks every job's output as mode says; before start().
    void checkOutputs(CheckMode mode);
    // Splits long jobs (TCommand::SplitJobs): a job is announced (onJobStarted) once whether it
    // splits is known. Before start().
    void splitJobs(const SplitOptions& options) { split_ = options; }

    void queue(const void* owner, double seconds, std::function<void()> start) override;
    void ended(const void* owner) override;
    void withdraw(const void* owner) override;

    // The jobs running now, in the order they started.
    std::vector<const PooledJob*> runningJobs() const;
    // How many jobs of the run have ended.
    int endedJobs() const { return ended_; }

    // Jobs for which it answers true are not run (an earlier run finished them).
    std::function<bool(int row)> skip;
    // Called for every job right after its driver started (when splitting, once it is known
    // whether the job splits, and at the latest just before it ends).
    std::function<void(const PooledJob& job)> onJobStarted;
    // Called just before a job's finished output is committed (PooledJob::onCommitting).
    std::function<void(const PooledJob& job, const std::string& written, const std::string& chosen)> beforeCommit;
    // Called for every job that ends, once the list says how; the job is alive during the call.
    std::function<void(const PooledJob& job, const PooledJobOutcome& outcome)> onJobEnded;
    // Twice a second while jobs run.
    std::function<void()> onProgress;
    // Once, when the run has ended.
    std::function<void()> onRunEnded;

private:
    void startMore();
    void startMoreSoon();
    // Starts the longest waiting task; false when none waits.
    bool startTask();
    int busyWorkers() const;
    void startJob(int row);
    void announce(const PooledJob& job);
    void jobEnded(PooledJob& job);
    void endRun();

    const TCommandManager& catalogue_;
    TTreeManager& list_;
    int workers_;
    int next_ = 0;
    int ended_ = 0;
    bool stopping_ = false;
    bool open_ = false;
    bool started_ = false;
    bool runEnded_ = false;
    TOverwriteManager names_;
    LeftoverSweeps sweeps_;
    CheckMode check_ = CheckMode::Off;
    SplitOptions split_;
    struct WaitingTask {
        const void* owner;
        double seconds;
        std::function<void()> start;
    };
    std::vector<WaitingTask> waiting_;
    std::map<const void*, int> runningTasks_;
    std::set<const PooledJob*> announced_;
    // One reader for the whole run: its helper is started once, not once a job.
    std::shared_ptr<PacketReader> packets_;
    std::vector<std::unique_ptr<PooledJob>> running_;
    // Jobs that have ended, kept until their driver's end notification has returned.
    std::vector<std::unique_ptr<PooledJob>> retired_;
    QTimer progressTimer_;
};

}  // namespace clipforge
