#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/ConsoleRunnerTypes.h"
#include "engine/GuardedStringList.h"
#include "engine/OutputLineList.h"

class TProcessTimer;
class TRunnerThread;

namespace clipforge {
class RunnerState;
}

// Runs one console program at a time with its input and output on pipes, cuts
// what it writes into lines and tells its user about every line and about the
// end of the program. Each run has a worker thread of its own; every event is
// raised on the main thread while the worker waits for it, and handlers may
// call Stop and Execute. Lives on the application's main thread.
class TConsoleRunner : public QObject {
public:
    explicit TConsoleRunner(QObject* owner = nullptr);
    // Stops a running worker, which kills its process; returns without
    // waiting for any handler, and no event reaches this object afterwards.
    ~TConsoleRunner() override;

    // The published properties (CommandLine, OnNewLine, ...); a run copies them when it starts.
    clipforge::RunSettings Settings;
    // Not owned; when set, kept as a screen-like copy of the output.
    clipforge::OutputLineList* OutputLines = nullptr;

    TReturnCode OutputReturnCode() const;
    std::uint8_t EndStatus() const;
    std::uint32_t ExitCode() const;

    // The newest delivered texts of the current run, in order: the last MiB of them.
    clipforge::GuardedStringList& Lines();
    // Text to write to the child's input; emptied when a run starts, so fill
    // it after Execute. Safe to add to at any time.
    clipforge::GuardedStringList& InputLines();

    TProcessTimer* timer() const { return timer_; }

    // Starts a run of CommandLine and returns at once. An empty CommandLine
    // does nothing at all.
    void Execute();
    // Asks the current run to stop and forgets it; returns at once. The run
    // still kills its process and raises its own OnTerminated.
    void Stop();

private:
    std::shared_ptr<clipforge::RunnerState> state_;
    std::shared_ptr<TRunnerThread> worker_;
    TProcessTimer* timer_ = nullptr;  // a child of this object
};
