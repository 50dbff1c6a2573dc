#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ChildProcess.h"
#include "engine/ConsoleRunnerTypes.h"
#include "engine/Pipe.h"
#include "engine/LineCutter.h"

class TConsoleRunner;

namespace clipforge {
class RunnerState;
struct ProcessTimerCounts;
}  // namespace clipforge

// One run of a console program: starts it, polls it and its output every
// millisecond, hands every piece of output and the end to the main thread and
// cleans up. Keeps itself alive until it ends; the runner may forget it at
// any time.
class TRunnerThread : public std::enable_shared_from_this<TRunnerThread> {
public:
    TRunnerThread(TConsoleRunner* runner, std::shared_ptr<clipforge::RunnerState> state,
                  std::shared_ptr<clipforge::ProcessTimerCounts> counts, clipforge::RunSettings settings);

    void start();
    void requestStop() { stop_.store(true); }
    bool stopRequested() const { return stop_.load(); }

private:
    struct Outcome {
        bool failed = false;
        int error = 0;
        bool startFailed = false;
    };
    struct Resources {
        clipforge::Pipe input;
        clipforge::Pipe output;
        std::unique_ptr<clipforge::ChildProcess> child;
    };

    void run();
    Outcome startAndPoll(Resources& resources);
    Outcome startProcess(Resources& resources);
    Outcome pollLoop(Resources& resources);
    Outcome fail(int error, bool startFailed = false);
    int readOutput(int fd, int waiting);
    int writeInputLines(int fd);
    bool timedOut() const;
    void endRun(Resources& resources, const Outcome& outcome);

    void setEndStatus(std::uint8_t status);
    void timerBeginning();
    bool deliver(const std::shared_ptr<clipforge::OutputBatch>& pieces);
    void deliverOnMainThread(const std::string& text, TOutputType type, TReturnCode returnCode);
    void updateOutputLines(const std::string& text);
    void terminate(bool endTimer, const Outcome& outcome);
    void finishFailedRun(const Outcome& outcome);

    TConsoleRunner* const runner_;  // touched on the main thread only, while the bridge stands
    const std::shared_ptr<clipforge::RunnerState> state_;
    const std::shared_ptr<clipforge::ProcessTimerCounts> counts_;
    const clipforge::RunSettings settings_;
    const std::uint64_t run_;

    std::atomic<bool> stop_{false};
    std::atomic<bool> failureSettled_{false};
    std::uint8_t stage_ = 0;
    std::uint32_t exitCode_ = clipforge::StillActive;
    // The latest read and its pieces; its memory serves every read of the run.
    std::shared_ptr<clipforge::OutputBatch> pieces_;
    std::size_t bufferSize_ = 0;
    clipforge::LineCutter cutter_;
    std::size_t inputWritten_ = 0;  // bytes of the first input line already written
    // Written by the main thread while the worker waits for a delivery.
    bool LastWasPartial = false;
};
