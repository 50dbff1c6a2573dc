#include "engine/RunnerState.h"

namespace clipforge {

std::uint64_t RunnerState::beginRun()
{
    std::lock_guard lock(mutex_);
    ++liveWorkers_;
    return ++latestRun_;
}

bool RunnerState::isLatest(std::uint64_t run) const
{
    std::lock_guard lock(mutex_);
    return run == latestRun_;
}

void RunnerState::setEndStatus(std::uint64_t run, std::uint8_t status)
{
    std::lock_guard lock(mutex_);
    if (run == latestRun_)
        endStatus_.store(status);
}

void RunnerState::setExitCode(std::uint64_t run, std::uint32_t code)
{
    std::lock_guard lock(mutex_);
    if (run == latestRun_)
        exitCode_.store(code);
}

void RunnerState::workerEnded()
{
    std::lock_guard lock(mutex_);
    --liveWorkers_;
    workersEnded_.notify_all();
}

bool RunnerState::waitForWorkers(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return workersEnded_.wait_for(lock, timeout, [this] { return liveWorkers_ == 0; });
}

}  // namespace clipforge
