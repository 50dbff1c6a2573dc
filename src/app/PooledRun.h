#pragma once

#include "app/QueueTimeLeft.h"
#include "engine/Command.h"
#include "engine/JobPool.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

class TCommandManager;
class TTreeManager;

namespace clipforge {

// One run of the window's queue with several jobs converting at once, through the engine's
// worker pool, shown on the window's list the way the one-job driver shows its job: each running
// job busy, its block moving and its hint saying how far it has got; the list locked from the
// start until the run has ended. The bar stands for the whole run: the ended jobs and the running
// ones' fractions.
class PooledRun {
public:
    PooledRun(const TCommandManager& catalogue, TTreeManager& list);
    // Kills the running converters; nothing is called afterwards.
    ~PooledRun();
    PooledRun(const PooledRun&) = delete;
    PooledRun& operator=(const PooledRun&) = delete;

    // Converts with up to workers jobs at once. Does nothing while a run is active or when there
    // is no job to convert.
    void start(int workers, TCommand::FinishedJobs finished, CheckMode check);
    // Stops every running job; the run ends once they all have.
    void stop();
    // The clock's handler, once a second while the run is active.
    void tick();

    // From start until onFinished has been raised: the list must not change meanwhile.
    bool active() const { return active_; }
    // No run is going, or the one going is ending.
    bool stopped() const { return !active_ || pool_->stopping(); }
    int runJobs() const { return runJobs_; }
    int endedJobs() const { return pool_ ? pool_->endedJobs() : 0; }
    std::int32_t barPosition() const { return bar_; }
    std::int64_t elapsedSeconds() const { return elapsed_; }
    QueueTimes queueTimes() const;

    std::function<void()> onJobEnded;
    std::function<void()> onBarMoved;
    std::function<void()> onTimer;
    // stopped: the run ended because of stop() before every job of it had ended.
    std::function<void(bool stopped)> onFinished;

private:
    void jobStarted(const PooledJob& job);
    void jobEnded(const PooledJob& job, const PooledJobOutcome& outcome);
    int jobsToConvert(TCommand::FinishedJobs finished) const;
    // ending: a job whose end is being reported; it counts as ended, not as running.
    void moveBar(const PooledJob* ending = nullptr);
    void runEnded();

    const TCommandManager& catalogue_;
    TTreeManager& list_;
    // A pool serves one run; the last one is kept until the next run starts.
    std::unique_ptr<JobPool> pool_;
    QTimer clock_;
    JobDurations durations_;
    int runJobs_ = 0;
    std::int32_t bar_ = 0;
    std::int64_t elapsed_ = 0;
    bool active_ = false;
};

}  // namespace clipforge
