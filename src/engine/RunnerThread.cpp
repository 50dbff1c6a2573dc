#include "engine/RunnerThread.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <thread>

#include "engine/CommandLineSplitter.h"
#include "engine/ConsoleRunner.h"
#include "engine/ProcessTimer.h"
#include "engine/RunnerState.h"
#include "engine/StartFailureReporter.h"

using namespace clipforge;

namespace {

constexpr std::size_t InitialBufferSize = 1024;
constexpr auto PollInterval = std::chrono::milliseconds(1);
// The worker empties the output pipe once per cycle, so the pipe's size caps
// the throughput: 64 KiB a millisecond is slower than a chatty converter and
// than the main thread's handling. 1 MiB is what an unprivileged process may ask.
constexpr int OutputPipeSize = 1 << 20;

int niceValueFor(std::uint32_t priorityClass)
{
    if (priorityClass & IdlePriorityClass)
        return 19;
    if (priorityClass & BelowNormalPriorityClass)
        return 10;
    return 0;
}

std::shared_ptr<OutputBatch> single(const OutputPiece& piece)
{
    auto batch = std::make_shared<OutputBatch>();
    batch->add(piece.text, piece.type, piece.returnCode);
    return batch;
}

}  // namespace

TRunnerThread::TRunnerThread(TConsoleRunner* runner, std::shared_ptr<RunnerState> state,
                             std::shared_ptr<ProcessTimerCounts> counts, RunSettings settings)
    : runner_(runner),
      state_(std::move(state)),
      counts_(std::move(counts)),
      settings_(std::move(settings)),
      run_(state_->beginRun())
{
    state_->InputLines.clear();
}

void TRunnerThread::start()
{
    std::thread([self = shared_from_this()] { self->run(); }).detach();
}

void TRunnerThread::run()
{
    {
        Resources resources;
        const Outcome outcome = startAndPoll(resources);
        endRun(resources, outcome);
    }
    state_->workerEnded();
}

TRunnerThread::Outcome TRunnerThread::startAndPoll(Resources& resources)
{
    setEndStatus(esBegun);
    try {
        pieces_ = std::make_shared<OutputBatch>();
        pieces_->readBuffer(InitialBufferSize);
        bufferSize_ = InitialBufferSize;
        Outcome outcome = startProcess(resources);
        return outcome.failed ? outcome : pollLoop(resources);
    } catch (const std::bad_alloc&) {
        return fail(ENOMEM);
    }
}

TRunnerThread::Outcome TRunnerThread::fail(int error, bool startFailed)
{
    // A zero here would report a run that never happened as a success.
    error = error != 0 ? error : EIO;
    exitCode_ = stage_ < esRunning ? static_cast<std::uint32_t>(error) : exitCode_;
    return {true, error, startFailed};
}

TRunnerThread::Outcome TRunnerThread::startProcess(Resources& resources)
{
    setEndStatus(esCreatingPipes);
    if (const int error = createPipe(resources.input))
        return fail(error);
    if (const int error = createPipe(resources.output)) {
        resources.input = {};
        return fail(error);
    }
    growPipe(resources.output, OutputPipeSize);
    // Neither end may ever block the worker: it must stay free to notice a stop.
    if (const int error = setNonBlocking(resources.input.writeEnd.get()))
        return fail(error);
    if (const int error = setNonBlocking(resources.output.readEnd.get()))
        return fail(error);
    setEndStatus(esCreatingProcess);
    ChildStart request{splitCommandLine(settings_.CommandLine), resources.input.readEnd.get(),
                       resources.output.writeEnd.get(), niceValueFor(settings_.Priority), settings_.WorkingFolder,
                       settings_.WritableFolder};
    if (const int error = ChildProcess::start(request, resources.child))
        return fail(error, true);
    // A converter that asks a question or reads its input must meet the end of it, not wait
    // for an answer that never comes.
    if (!settings_.KeepInputOpen)
        resources.input = {};
    timerBeginning();
    exitCode_ = StillActive;
    setEndStatus(esRunning);
    LastWasPartial = false;
    return {};
}

TRunnerThread::Outcome TRunnerThread::pollLoop(Resources& resources)
{
    const int outputFd = resources.output.readEnd.get();
    for (;;) {
        int error = 0;
        std::uint32_t code = 0;
        const auto state = resources.child->poll(code, error);
        if (state == ChildProcess::State::Failed)
            return fail(error);
        if (state == ChildProcess::State::Ended)
            exitCode_ = code;
        int waiting = 0;
        error = bytesWaiting(outputFd, waiting);
        if (error)
            return fail(error);
        // The millisecond's pause counts from here: while output flows, the
        // time the main thread spends on its lines is part of the pause, not
        // added to it. A silent child still waits a full millisecond a cycle.
        const auto pauseEnd = std::chrono::steady_clock::now() + PollInterval;
        error = waiting > 0 ? readOutput(outputFd, waiting) : writeInputLines(resources.input.writeEnd.get());
        if (error)
            return fail(error);
        // A child that has ended leaves nothing to wait for.
        if (exitCode_ == StillActive)
            resources.child->waitForEnd(pauseEnd);
        if (exitCode_ != StillActive) {
            setEndStatus(esEnded);
            state_->setExitCode(run_, exitCode_);
            return {};
        }
        if (stopRequested()) {
            setEndStatus(esStopped);
            return {};
        }
        if (timedOut()) {
            setEndStatus(esTimedOut);
            return {};
        }
    }
}

int TRunnerThread::readOutput(int fd, int waiting)
{
    // One read takes everything waiting; the buffer never shrinks during a run.
    bufferSize_ = std::max(bufferSize_, static_cast<std::size_t>(waiting));
    if (!pieces_)
        pieces_ = std::make_shared<OutputBatch>();
    const auto buffer = pieces_->readBuffer(bufferSize_);
    int error = 0;
    const auto count = readSome(fd, buffer, error);
    if (!count)
        return error;
    cutter_.cut(*pieces_, *count, &stop_);
    // Pieces not known to be back from the main thread are left to it.
    if (!deliver(pieces_) || pieces_.use_count() != 1)
        pieces_.reset();
    return 0;
}

int TRunnerThread::writeInputLines(int fd)
{
    while (fd >= 0 && !stopRequested()) {
        const auto line = state_->InputLines.first();
        if (!line)
            return 0;
        const std::size_t left = line->size() - std::min(inputWritten_, line->size());
        int error = 0;
        std::optional<std::size_t> count = 0;
        if (left)
            count = writeSome(fd, std::string_view(*line).substr(inputWritten_), error);
        if (!count)
            return error;
        // A child that reads slowly gets the rest in a later cycle.
        inputWritten_ += *count;
        if (inputWritten_ < line->size())
            return 0;
        inputWritten_ = 0;
        if (settings_.InputToOutput)
            deliver(single(cutter_.echoInput(*line, LastWasPartial)));
        state_->InputLines.removeFirst();
    }
    return 0;
}

bool TRunnerThread::timedOut() const
{
    const auto afterBeginning = settings_.MaxTimeAfterBeginning;
    const auto afterLastOutput = settings_.MaxTimeAfterLastOutput;
    return (afterBeginning > 0 && counts_->SinceBeginning.load() > afterBeginning) ||
           (afterLastOutput > 0 && counts_->SinceLastOutput.load() > afterLastOutput);
}

void TRunnerThread::endRun(Resources& resources, const Outcome& outcome)
{
    if (!outcome.failed && !cutter_.pending().empty())
        deliver(single({cutter_.pending(), otBeginningOfLine, cutter_.returnCode()}));
    resources.child.reset();  // kills and reaps a child that still runs
    resources = {};
    pieces_.reset();
    terminate(stage_ >= esRunning, outcome);
}

void TRunnerThread::finishFailedRun(const Outcome& outcome)
{
    // Runs on the main thread, or on the worker when the runner went away
    // first; the flag keeps a round trip cut halfway from settling twice.
    if (!outcome.failed || failureSettled_.exchange(true))
        return;
    setEndStatus(static_cast<std::uint8_t>(stage_ + 1));
    state_->setExitCode(run_, static_cast<std::uint32_t>(outcome.error));
}

void TRunnerThread::setEndStatus(std::uint8_t status)
{
    stage_ = status;
    state_->setEndStatus(run_, status);
}

void TRunnerThread::timerBeginning()
{
    if (!state_->isLatest(run_))
        return;
    counts_->reset();
    state_->bridge->post([self = shared_from_this()] {
        if (self->state_->isLatest(self->run_))
            self->runner_->timer()->Beginning();
    });
}

// All pieces cut from one read travel in one round trip; the main thread
// checks for a stop before each, so a handler that stops the run sees no
// further piece, just as if each had been handed over on its own. True when
// the main thread has handled them and let go of them.
bool TRunnerThread::deliver(const std::shared_ptr<OutputBatch>& pieces)
{
    if (pieces->empty() || stopRequested())
        return true;
    return state_->bridge->call([self = shared_from_this(), handed = pieces]() mutable {
        // Let go before the worker is released, even when a handler throws:
        // the worker then reuses the batch for its next read.
        const auto batch = std::move(handed);
        std::string text;
        for (std::size_t i = 0; i < batch->size(); ++i) {
            if (self->state_->bridge->isCut() || self->stopRequested())
                break;
            text.assign(batch->text(i));
            self->deliverOnMainThread(text, batch->type(i), batch->returnCode(i));
        }
    });
}

void TRunnerThread::deliverOnMainThread(const std::string& text, TOutputType type, TReturnCode returnCode)
{
    state_->Lines.add(text);
    state_->setOutputReturnCode(returnCode);
    counts_->newOutput();
    try {
        updateOutputLines(text);
    } catch (...) {
        // A failing display must not end the run.
    }
    LastWasPartial = type == otBeginningOfLine;
    try {
        if (settings_.OnNewLine)
            settings_.OnNewLine(runner_, text, type);
    } catch (...) {
        // Nor may a failing handler.
    }
}

void TRunnerThread::updateOutputLines(const std::string& text)
{
    OutputLineList* lines = runner_->OutputLines;
    if (!lines)
        return;
    struct UpdateBracket {
        OutputLineList* lines;
        ~UpdateBracket() { lines->endUpdate(); }
    };
    lines->beginUpdate();
    UpdateBracket bracket{lines};
    if (lines->count() > 0 && LastWasPartial)
        lines->replaceLast(text);
    else
        lines->add(text);
}

void TRunnerThread::terminate(bool endTimer, const Outcome& outcome)
{
    // The timer stops in the same round trip, just before the handler runs:
    // one wake-up of the main thread fewer for every run. Unlike a line
    // handler's, an error from this handler is not swallowed: it leaves
    // through the event loop, where the application shows it.
    // A failed start is settled and reported in that same round trip, after
    // the handler: the driver starts the next job from the handler, and a
    // message posted afterwards would race that job's own message, so a
    // queue with a missing converter could report its jobs out of order.
    const std::string& shown = settings_.ShownCommandLine.empty() ? settings_.CommandLine : settings_.ShownCommandLine;
    const std::string message = outcome.startFailed ? startFailureMessage(shown) : std::string();
    const bool delivered = state_->bridge->call([self = shared_from_this(), code = exitCode_, endTimer, outcome, message] {
        const auto settle = [&] {
            self->finishFailedRun(outcome);
            if (!message.empty())
                reportStartFailure(message);
        };
        if (endTimer && self->state_->isLatest(self->run_))
            self->runner_->timer()->Ending();
        try {
            if (self->settings_.OnTerminated)
                self->settings_.OnTerminated(self->runner_, code);
        } catch (...) {
            settle();
            throw;
        }
        settle();
    });
    if (!delivered)
        finishFailedRun(outcome);
}
