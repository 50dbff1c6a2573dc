#include "engine/ConsoleRunner.h"

#include "engine/ProcessTimer.h"
#include "engine/RunnerState.h"
#include "engine/RunnerThread.h"

using namespace clipforge;

namespace {

// Long enough for a killed child to be reaped, short enough that closing the
// program never feels stuck.
constexpr auto WorkerShutdownLimit = std::chrono::milliseconds(200);

}  // namespace

TConsoleRunner::TConsoleRunner(QObject* owner) : QObject(owner), state_(std::make_shared<RunnerState>()) {}

TConsoleRunner::~TConsoleRunner()
{
    Stop();
    state_->bridge->cut();
    state_->waitForWorkers(WorkerShutdownLimit);
}

TReturnCode TConsoleRunner::OutputReturnCode() const { return state_->outputReturnCode(); }

std::uint8_t TConsoleRunner::EndStatus() const { return state_->endStatus(); }

std::uint32_t TConsoleRunner::ExitCode() const { return state_->exitCode(); }

GuardedStringList& TConsoleRunner::Lines() { return state_->Lines; }

GuardedStringList& TConsoleRunner::InputLines() { return state_->InputLines; }

void TConsoleRunner::Execute()
{
    if (Settings.CommandLine.empty())
        return;
    Stop();
    if (!timer_)
        timer_ = new TProcessTimer(this);
    state_->Lines.clear();
    worker_ = std::make_shared<TRunnerThread>(this, state_, timer_->counts(), Settings);
    worker_->start();
}

void TConsoleRunner::Stop()
{
    if (worker_)
        worker_->requestStop();
    worker_.reset();
}
