#include "PooledJob.h"

#include "core/CommandManager.h"
#include "core/LocalText.h"
#include "engine/Command.h"

namespace clipforge {

PooledJob::PooledJob(const TCommandManager& catalogue, const TItemData& job, int index, TOverwriteManager& names,
                   LeftoverSweeps& sweeps, Ended ended)
    : list_(catalogue.Names(), staging_),
      command_(std::make_unique<TCommand>(list_, catalogue)),
      index_(index),
      source_(narrow(job.FileName)),
      profile_(job.Format)
{
    list_.AppendJobs({job});
    command_->ShareNames(names);
    command_->ShareSweeps(sweeps);
    command_->OnFinished = [this, ended = std::move(ended)](QObject*, bool) { ended(*this); };
}

PooledJob::~PooledJob() = default;

void PooledJob::chooseOutputName(std::string name)
{
    command_->ChooseOutputName(std::move(name));
}

void PooledJob::checkOutputs(CheckMode mode, std::shared_ptr<PacketReader> reader)
{
    command_->CheckOutputs(mode, std::move(reader));
}

void PooledJob::splitJobs(const SplitOptions& options, TaskWorkers& workers, std::function<void()> decided)
{
    command_->SplitJobs(options, &workers);
    command_->OnSplitDecided = std::move(decided);
}

void PooledJob::joinPartsMadeElsewhere(const SplitOptions& options, TCommand::TPartsMadeElsewhere parts)
{
    command_->JoinPartsMadeElsewhere(options, std::move(parts));
}

const std::optional<SplitPlan>& PooledJob::split() const
{
    return command_->LastSplit();
}

bool PooledJob::holdsWorker() const
{
    return command_->HoldsWorker();
}

void PooledJob::start()
{
    command_->Start();
}

void PooledJob::onCommitting(std::function<void(const std::string&, const std::string&)> handler)
{
    command_->OnCommitting = std::move(handler);
}

void PooledJob::stop()
{
    command_->Stop();
}

const std::string& PooledJob::output() const
{
    return command_->OutputPath();
}

JobProgress PooledJob::progress() const
{
    return command_->CurrentProgress();
}

bool PooledJob::checkingOutput() const
{
    return command_->CheckingOutput();
}

PooledJobOutcome PooledJob::outcome() const
{
    PooledJobOutcome outcome;
    outcome.index = index_;
    outcome.finished = list_.Job(0).State == jsFinished;
    outcome.exitCode = command_->LastExitCode();
    outcome.output = command_->OutputPath();
    if (!outcome.finished)
        outcome.reason = command_->LastError();
    outcome.check = command_->LastCheck();
    outcome.split = command_->LastSplit();
    outcome.committedElsewhere = command_->FoundCommitted();
    return outcome;
}

}  // namespace clipforge
