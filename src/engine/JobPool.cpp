#include "JobPool.h"

#include "core/TreeManager.h"
#include "engine/PacketReader.h"

#include <algorithm>

namespace clipforge {
namespace {

// Progress goes out at most twice a second.
constexpr int ProgressInterval = 500;

}  // namespace

JobPool::JobPool(const TCommandManager& catalogue, TTreeManager& list, int workers)
    : catalogue_(catalogue), list_(list), workers_(std::max(1, workers))
{
    progressTimer_.setInterval(ProgressInterval);
    QObject::connect(&progressTimer_, &QTimer::timeout, &progressTimer_, [this] {
        if (!running_.empty() && onProgress)
            onProgress();
    });
}

JobPool::~JobPool() = default;

void JobPool::checkOutputs(CheckMode mode)
{
    check_ = mode;
    packets_ = mode == CheckMode::Off ? nullptr : std::make_shared<PacketReader>();
}

void JobPool::start()
{
    started_ = true;
    progressTimer_.start();
    startMore();
}

void JobPool::stop()
{
    stopping_ = true;
    for (const auto& job : running_)
        job->stop();
    if (running_.empty())
        endRun();
}

void JobPool::jobsAdded()
{
    if (!stopping_)
        startMore();
}

void JobPool::abandon()
{
    stopping_ = true;
    running_.clear();
    retired_.clear();
    endRun();
}

void JobPool::startMore()
{
    retired_.clear();
    while (!stopping_ && next_ < list_.Count() && static_cast<int>(running_.size()) < workers_) {
        const int row = next_++;
        if (!skip || !skip(row))
            startJob(row);
    }
    if (running_.empty() && (!open_ || stopping_))
        endRun();
}

void JobPool::endRun()
{
    if (!started_ || runEnded_)
        return;
    runEnded_ = true;
    progressTimer_.stop();
    if (onRunEnded)
        onRunEnded();
}

void JobPool::startJob(int row)
{
    auto job = std::make_unique<PooledJob>(catalogue_, list_.Job(row).ItemData, row, names_, sweeps_,
                                           [this](PooledJob& ended) { jobEnded(ended); });
    PooledJob& started = *job;
    started.checkOutputs(check_, packets_);
    if (beforeCommit)
        started.onCommitting([this, &started](const std::string& written, const std::string& chosen) {
            beforeCommit(started, written, chosen);
        });
    running_.push_back(std::move(job));
    list_.SetState(row, jsConverting);
    started.start();
    if (onJobStarted)
        onJobStarted(started);
}

// Called from within the job's driver: the job is kept alive until that call has returned.
void JobPool::jobEnded(PooledJob& job)
{
    const PooledJobOutcome outcome = job.outcome();
    if (outcome.finished)
        list_.SetState(outcome.index, jsFinished);
    else
        list_.SetFailure(outcome.index, outcome.reason);
    ++ended_;
    if (onJobEnded)
        onJobEnded(job, outcome);
    const auto found = std::find_if(running_.begin(), running_.end(), [&](const auto& held) { return held.get() == &job; });
    if (found != running_.end()) {
        retired_.push_back(std::move(*found));
        running_.erase(found);
    }
    QMetaObject::invokeMethod(&progressTimer_, [this] { startMore(); }, Qt::QueuedConnection);
}

std::vector<const PooledJob*> JobPool::runningJobs() const
{
    std::vector<const PooledJob*> jobs;
    for (const auto& job : running_)
        jobs.push_back(job.get());
    return jobs;
}

}  // namespace clipforge
