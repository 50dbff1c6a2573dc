#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/ConsoleRunnerTypes.h"
#include "engine/GuardedStringList.h"
#include "engine/MainThreadBridge.h"

namespace clipforge {

// What a runner shares with its workers. A worker keeps it alive, so a worker
// that outlives its runner still has somewhere to write. Status written by a
// worker whose run is no longer the latest is dropped: after a stop and a new
// start, the old run must not overwrite what the new one reports.
class RunnerState {
public:
    // The newest output of a run; nothing reads all of it, and a converter may write for hours.
    static constexpr std::size_t KeptOutputBytes = 1 << 20;
    GuardedStringList Lines{KeptOutputBytes};
    GuardedStringList InputLines;
    const std::shared_ptr<MainThreadBridge> bridge = std::make_shared<MainThreadBridge>();

    std::uint8_t endStatus() const { return endStatus_.load(); }
    std::uint32_t exitCode() const { return exitCode_.load(); }
    TReturnCode outputReturnCode() const { return outputReturnCode_.load(); }
    void setOutputReturnCode(TReturnCode code) { outputReturnCode_.store(code, std::memory_order_relaxed); }

    // Starts the bookkeeping of a new run and returns its number.
    std::uint64_t beginRun();
    bool isLatest(std::uint64_t run) const;
    void setEndStatus(std::uint64_t run, std::uint8_t status);
    void setExitCode(std::uint64_t run, std::uint32_t code);

    void workerEnded();
    // True when every worker has ended within timeout.
    bool waitForWorkers(std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex_;
    std::condition_variable workersEnded_;
    int liveWorkers_ = 0;
    std::uint64_t latestRun_ = 0;
    std::atomic<std::uint8_t> endStatus_{0};
    std::atomic<std::uint32_t> exitCode_{0};
    std::atomic<TReturnCode> outputReturnCode_{rcCRLF};
};

}  // namespace clipforge
