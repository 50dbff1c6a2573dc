#include "engine/SplitRun.h"

#include "engine/ConsoleRunner.h"
#include "engine/ConverterReport.h"
#include "engine/RunnerEnd.h"
#include "engine/TaskWorkers.h"

#include <algorithm>
#include <exception>

namespace clipforge {

struct SplitRun::Running {
    TConsoleRunner runner;
    ConverterReport report;
    ProgressReader progress;
    bool ended = false;
};

SplitRun::SplitRun(TaskWorkers& workers, std::string folder, std::vector<SplitTask> tasks, Ended ended)
    : workers_(workers), folder_(std::move(folder)), tasks_(std::move(tasks)), ended_(std::move(ended))
{
    running_.resize(tasks_.size());
}

SplitRun::~SplitRun()
{
    workers_.withdraw(this);
    // The runners' destruction kills their converters.
    running_.clear();
}

void SplitRun::start()
{
    begun_ = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < tasks_.size(); ++i)
        workers_.queue(this, tasks_[i].seconds, [this, i] { startTask(i); });
}

void SplitRun::stop()
{
    if (failure_.empty())
        failure_ = "stopped";
    stopping_ = true;
    workers_.withdraw(this);
    for (const auto& task : running_) {
        if (task && !task->ended)
            task->runner.Stop();
    }
    endIfDone();
}

void SplitRun::startTask(std::size_t index)
{
    if (stopping_)
        return;
    ++started_;
    auto task = std::make_unique<Running>();
    Running& held = *task;
    running_[index] = std::move(task);
    held.report.setNames({tasks_[index].output});
    held.runner.Settings.CommandLine = tasks_[index].commandLine;
    held.runner.Settings.ShownCommandLine = tasks_[index].commandLine;
    held.runner.Settings.WorkingFolder = folder_;
    held.runner.Settings.WritableFolder = folder_;
    held.runner.Settings.OnNewLine = [&held](TConsoleRunner*, const std::string& line, TOutputType type) {
        held.report.add(line, type);
        if (type == otEntireLine)
            held.progress.read(line);
    };
    held.runner.Settings.OnTerminated = [this, index, &held](TConsoleRunner*, std::uint32_t exitCode) {
        const JobEnd end = runnerEnd(held.runner, exitCode, stopping_);
        taskEnded(index, judgeJob(end, held.report, tasks_[index].output));
    };
    try {
        held.runner.Execute();
    } catch (const std::exception& error) {
        // Told a turn of the event loop later, as a converter's end would be.
        QMetaObject::invokeMethod(
            &context_,
            [this, index, reason = std::string("the converter could not be started: ") + error.what()] {
                taskEnded(index, {false, reason});
            },
            Qt::QueuedConnection);
    }
}

void SplitRun::taskEnded(std::size_t index, const JobOutcome& outcome)
{
    running_[index]->ended = true;
    ++done_;
    if (!stopping_)
        workers_.ended(this);
    if (!outcome.finished)
        failWith(outcome.reason);
    endIfDone();
}

// The first failure is the job's reason; the other tasks are of no use any more.
void SplitRun::failWith(const std::string& reason)
{
    if (stopping_)
        return;
    failure_ = reason;
    stop();
}

void SplitRun::endIfDone()
{
    const bool allEnded = stopping_ ? done_ == started_ : done_ == tasks_.size();
    if (!allEnded || told_)
        return;
    told_ = true;
    // Told from outside the runner's notification: the run may be destroyed by it.
    QMetaObject::invokeMethod(
        &context_, [this, outcome = JobOutcome{failure_.empty(), failure_}] { ended_(outcome); },
        Qt::QueuedConnection);
}

JobProgress SplitRun::progress() const
{
    JobProgress whole;
    double length = 0, position = 0, speed = 0;
    for (std::size_t i = 0; i < tasks_.size(); ++i) {
        if (!tasks_[i].pictures)
            continue;
        length += tasks_[i].seconds;
        const Running* task = running_[i].get();
        if (!task)
            continue;
        const JobProgress part = task->progress.progress();
        position += task->ended ? tasks_[i].seconds : std::min(tasks_[i].seconds, part.positionSeconds.value_or(0.0));
        speed += task->ended ? 0.0 : part.speed.value_or(0.0);
    }
    whole.elapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun_).count();
    if (length <= 0)
        return whole;
    whole.durationSeconds = length;
    whole.positionSeconds = position;
    whole.speed = speed;
    whole.percent = static_cast<int>(100 * position / length);
    if (position > 0)
        whole.secondsLeft = whole.elapsedSeconds * (length - position) / position;
    return whole;
}

}  // namespace clipforge
