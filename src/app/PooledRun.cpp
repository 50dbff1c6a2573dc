#include "app/PooledRun.h"

#include "core/FileSystem.h"
#include "core/TreeManager.h"
#include "engine/ProgressText.h"

#include <algorithm>

namespace clipforge {
namespace {

// How much of a running job is done, in hundredths; an output being checked is done converting.
int hundredths(const PooledJob& job)
{
    return job.checkingOutput() ? 100 : std::clamp(job.progress().percent.value_or(0), 0, 100);
}

}  // namespace

PooledRun::PooledRun(const TCommandManager& catalogue, TTreeManager& list)
    : catalogue_(catalogue), list_(list)
{
    clock_.setInterval(1000);
    QObject::connect(&clock_, &QTimer::timeout, &clock_, [this] { tick(); });
}

PooledRun::~PooledRun()
{
    if (!active_)
        return;
    for (const PooledJob* job : pool_->runningJobs())
        list_.SetBusy(job->index(), false);
    list_.SetLocked(false);
}

int PooledRun::jobsToConvert(TCommand::FinishedJobs finished) const
{
    int jobs = 0;
    for (int row = 0; row < list_.Count(); ++row)
        jobs += finished == TCommand::FinishedJobs::Skip && list_.Job(row).State == jsFinished ? 0 : 1;
    return jobs;
}

void PooledRun::start(int workers, TCommand::FinishedJobs finished, CheckMode check)
{
    if (active_ || jobsToConvert(finished) == 0)
        return;
    runJobs_ = jobsToConvert(finished);
    bar_ = 0;
    elapsed_ = 0;
    durations_.clear();
    pool_ = std::make_unique<JobPool>(catalogue_, list_, workers);
    if (finished == TCommand::FinishedJobs::Skip)
        pool_->skip = [this](int row) { return list_.Job(row).State == jsFinished; };
    pool_->checkOutputs(check);
    pool_->onJobStarted = [this](const PooledJob& job) { jobStarted(job); };
    pool_->onJobEnded = [this](const PooledJob& job, const PooledJobOutcome& outcome) { jobEnded(job, outcome); };
    pool_->onRunEnded = [this] { runEnded(); };
    active_ = true;
    list_.SetLocked(true);
    clock_.start();
    pool_->start();
}

void PooledRun::stop()
{
    if (active_)
        pool_->stop();
}

void PooledRun::tick()
{
    ++elapsed_;
    for (const PooledJob* job : pool_->runningJobs()) {
        const int row = job->index();
        list_.StepFrame(row);
        list_.SetProgress(row, job->checkingOutput() ? CheckingOutputHint : progressText(job->progress()));
    }
    moveBar();
    if (onTimer)
        onTimer();
}

void PooledRun::jobStarted(const PooledJob& job)
{
    const int row = job.index();
    list_.SetProgress(row, {});
    list_.SetBusy(row, true);
    list_.FocusNode(row);
    durations_.started(row);
}

void PooledRun::jobEnded(const PooledJob& job, const PooledJobOutcome& outcome)
{
    const int row = outcome.index;
    list_.SetBusy(row, false);
    if (outcome.finished)
        list_.SetOutput(row, outcome.output, static_cast<std::int64_t>(fileStatus(outcome.output).size),
                        outcome.warned() ? outcome.check->reason : std::string());
    durations_.ended(row);
    moveBar(&job);
    if (onJobEnded)
        onJobEnded();
}

// Only forward within a run, as the one-job driver's bar.
void PooledRun::moveBar(const PooledJob* ending)
{
    std::int64_t done = std::int64_t {endedJobs()} * 100;
    for (const PooledJob* job : pool_->runningJobs())
        done += job == ending ? 0 : hundredths(*job);
    const auto position = static_cast<std::int32_t>(std::min<std::int64_t>(100, done / std::max(1, runJobs_)));
    if (position <= bar_)
        return;
    bar_ = position;
    if (onBarMoved)
        onBarMoved();
}

QueueTimes PooledRun::queueTimes() const
{
    QueueTimes times;
    if (!pool_)
        return times;
    for (const PooledJob* job : pool_->runningJobs())
        times.running.push_back(job->progress());
    times.waiting = std::max(0, runJobs_ - endedJobs() - static_cast<int>(times.running.size()));
    times.ended = durations_.endedJobs();
    times.endedSeconds = durations_.endedSeconds();
    times.workers = pool_->workers();
    return times;
}

void PooledRun::runEnded()
{
    clock_.stop();
    const bool stopped = pool_->stopping() && endedJobs() < runJobs_;
    active_ = false;
    elapsed_ = 0;
    list_.SetLocked(false);
    if (onFinished)
        onFinished(stopped);
}

}  // namespace clipforge
