#include "BatchQueue.h"

#include "BatchReport.h"
#include "core/TreeManager.h"
#include "engine/PacketReader.h"

#include <algorithm>

namespace clipforge {
namespace {

// Progress goes out at most twice a second per job.
constexpr int ProgressInterval = 500;

}  // namespace

BatchQueue::BatchQueue(const TCommandManager& catalogue, TTreeManager& list, BatchReport& report, int parallel)
    : catalogue_(catalogue), list_(list), report_(report), parallel_(std::max(1, parallel))
{
    progressTimer_.setInterval(ProgressInterval);
    QObject::connect(&progressTimer_, &QTimer::timeout, &progressTimer_, [this] { showProgress(); });
}

BatchQueue::~BatchQueue() = default;

void BatchQueue::checkOutputs(CheckMode mode)
{
    check_ = mode;
    packets_ = mode == CheckMode::Off ? nullptr : std::make_shared<PacketReader>();
}

void BatchQueue::run()
{
    startMore();
    if (running_.empty() && !open_)
        return;
    progressTimer_.start();
    loop_.exec();
    progressTimer_.stop();
}

void BatchQueue::stop()
{
    stopping_ = true;
    for (const auto& job : running_)
        job->stop();
    if (running_.empty())
        loop_.quit();
}

void BatchQueue::jobsAdded()
{
    if (!stopping_)
        startMore();
}

void BatchQueue::abandon()
{
    stopping_ = true;
    running_.clear();
    retired_.clear();
    loop_.quit();
}

void BatchQueue::startMore()
{
    retired_.clear();
    while (!stopping_ && next_ < list_.Count() && static_cast<int>(running_.size()) < parallel_) {
        const int row = next_++;
        if (!skip || !skip(row))
            startJob(row);
    }
    if (running_.empty() && (!open_ || stopping_))
        loop_.quit();
}

void BatchQueue::startJob(int row)
{
    auto job = std::make_unique<BatchJob>(catalogue_, list_.Job(row).ItemData, row, names_, sweeps_,
                                          [this](BatchJob& ended) { jobEnded(ended); });
    BatchJob& started = *job;
    started.checkOutputs(check_, packets_);
    if (beforeCommit)
        started.onCommitting([this, &started](const std::string& written, const std::string& chosen) {
            beforeCommit(started, written, chosen);
        });
    running_.push_back(std::move(job));
    list_.SetState(row, jsConverting);
    started.start();
    report_.jobStarted(started);
}

// Called from within the job's driver: the job is kept alive until that call has returned.
void BatchQueue::jobEnded(BatchJob& job)
{
    const BatchJobOutcome outcome = job.outcome();
    if (outcome.finished)
        list_.SetState(outcome.index, jsFinished);
    else
        list_.SetFailure(outcome.index, outcome.reason);
    ++ended_;
    if (afterJob)
        afterJob(job, outcome);
    report_.jobEnded(outcome);
    if (!outcome.finished && onJobFailed)
        onJobFailed(outcome);
    if (outcome.warned() && onJobWarned)
        onJobWarned(outcome);
    const auto found = std::find_if(running_.begin(), running_.end(), [&](const auto& held) { return held.get() == &job; });
    if (found != running_.end()) {
        retired_.push_back(std::move(*found));
        running_.erase(found);
    }
    QMetaObject::invokeMethod(&progressTimer_, [this] { startMore(); }, Qt::QueuedConnection);
}

void BatchQueue::showProgress()
{
    if (!running_.empty())
        report_.progress(runningJobs(), ended_, list_.Count());
}

std::vector<const BatchJob*> BatchQueue::runningJobs() const
{
    std::vector<const BatchJob*> jobs;
    for (const auto& job : running_)
        jobs.push_back(job.get());
    return jobs;
}

}  // namespace clipforge
