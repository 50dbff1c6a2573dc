#include "app/QueueTimeLeft.h"

#include "engine/ProgressText.h"

#include <algorithm>
#include <cmath>

namespace clipforge {
namespace {

// The jobs that ended tell best; before any has, the running jobs' own estimates of their length.
std::optional<double> averageJobSeconds(const QueueTimes& times)
{
    if (times.ended > 0)
        return times.endedSeconds / times.ended;
    double total = 0;
    int known = 0;
    for (const JobProgress& job : times.running) {
        if (job.secondsLeft) {
            total += job.elapsedSeconds + *job.secondsLeft;
            ++known;
        }
    }
    return known > 0 ? std::optional<double>(total / known) : std::nullopt;
}

}  // namespace

std::optional<double> queueSecondsLeft(const QueueTimes& times)
{
    const std::optional<double> average = averageJobSeconds(times);
    if (!average)
        return std::nullopt;
    double work = std::max(0, times.waiting) * *average;
    double longest = 0;
    for (const JobProgress& job : times.running) {
        // A job of unknown length is taken to last as long as the others.
        const double left = job.secondsLeft ? *job.secondsLeft : std::max(0.0, *average - job.elapsedSeconds);
        work += left;
        longest = std::max(longest, left);
    }
    const auto jobs = static_cast<int>(times.running.size()) + std::max(0, times.waiting);
    const int together = std::max(1, std::min(times.workers, jobs));
    return std::max(longest, work / together);
}

QString queueTimeText(const QueueTimes& times)
{
    const std::optional<double> seconds = queueSecondsLeft(times);
    if (!seconds)
        return {};
    return QStringLiteral("about %1 left for the queue").arg(QString::fromStdString(durationText(std::ceil(*seconds))));
}

JobDurations::JobDurations(Clock clock)
    : clock_(std::move(clock))
{
}

void JobDurations::clear()
{
    running_.clear();
    ended_ = 0;
    seconds_ = 0;
}

void JobDurations::started(int job)
{
    running_[job] = clock_();
}

void JobDurations::ended(int job)
{
    const auto found = running_.find(job);
    if (found == running_.end())
        return;
    seconds_ += std::chrono::duration<double>(clock_() - found->second).count();
    ++ended_;
    running_.erase(found);
}

}  // namespace clipforge
