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
    while (!stopping_ && busyWorkers() < workers_) {
        if (startTask())
            continue;
        if (next_ >= list_.Count())
            break;
        const int row = next_++;
        if (!skip || !skip(row))
            startJob(row);
    }
    if (running_.empty() && (!open_ || stopping_))
        endRun();
}

// From the event loop, not from within the driver or task whose end made the room.
void JobPool::startMoreSoon()
{
    QMetaObject::invokeMethod(&progressTimer_, [this] { startMore(); }, Qt::QueuedConnection);
}

int JobPool::busyWorkers() const
{
    int busy = 0;
    for (const auto& job : running_)
        busy += job->holdsWorker() ? 1 : 0;
    for (const auto& [owner, tasks] : runningTasks_)
        busy += tasks;
    return busy;
}

bool JobPool::startTask()
{
    const auto longest = std::max_element(waiting_.begin(), waiting_.end(), [](const auto& a, const auto& b) {
        return a.seconds < b.seconds;
    });
    if (longest == waiting_.end())
        return false;
    const WaitingTask task = std::move(*longest);
    waiting_.erase(longest);
    ++runningTasks_[task.owner];
    task.start();
    return true;
}

void JobPool::queue(const void* owner, double seconds, std::function<void()> start)
{
    waiting_.push_back({owner, seconds, std::move(start)});
    startMoreSoon();
}

void JobPool::ended(const void* owner)
{
    if (const auto found = runningTasks_.find(owner); found != runningTasks_.end() && --found->second <= 0)
        runningTasks_.erase(found);
    startMoreSoon();
}

void JobPool::withdraw(const void* owner)
{
    std::erase_if(waiting_, [owner](const WaitingTask& task) { return task.owner == owner; });
    runningTasks_.erase(owner);
}

void JobPool::announce(const PooledJob& job)
{
    if (announced_.insert(&job).second && onJobStarted)
        onJobStarted(job);
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
    const bool splitting = split_.parts > 1;
    if (splitting)
        started.splitJobs(split_, *this, [this, &started] { announce(started); });
    running_.push_back(std::move(job));
    list_.SetState(row, jsConverting);
    started.start();
    if (!splitting)
        announce(started);
}

// Called from within the job's driver: the job is kept alive until that call has returned.
void JobPool::jobEnded(PooledJob& job)
{
    announce(job);
    announced_.erase(&job);
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
    startMoreSoon();
}

std::vector<const PooledJob*> JobPool::runningJobs() const
{
    std::vector<const PooledJob*> jobs;
    for (const auto& job : running_)
        jobs.push_back(job.get());
    return jobs;
}

}  // namespace clipforge
