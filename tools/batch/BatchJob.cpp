#include "BatchJob.h"

#include "core/CommandManager.h"
#include "core/LocalText.h"
#include "engine/Command.h"

namespace clipforge {

BatchJob::BatchJob(const TCommandManager& catalogue, const TItemData& job, int index, TOverwriteManager& names,
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

BatchJob::~BatchJob() = default;

void BatchJob::chooseOutputName(std::string name)
{
    command_->ChooseOutputName(std::move(name));
}

void BatchJob::checkOutputs(CheckMode mode, std::shared_ptr<PacketReader> reader)
{
    command_->CheckOutputs(mode, std::move(reader));
}

void BatchJob::start()
{
    command_->Start();
}

void BatchJob::onCommitting(std::function<void(const std::string&, const std::string&)> handler)
{
    command_->OnCommitting = std::move(handler);
}

void BatchJob::stop()
{
    command_->Stop();
}

const std::string& BatchJob::output() const
{
    return command_->OutputPath();
}

JobProgress BatchJob::progress() const
{
    return command_->CurrentProgress();
}

BatchJobOutcome BatchJob::outcome() const
{
    BatchJobOutcome outcome;
    outcome.index = index_;
    outcome.finished = list_.Job(0).State == jsFinished;
    outcome.exitCode = command_->LastExitCode();
    outcome.output = command_->OutputPath();
    if (!outcome.finished)
        outcome.reason = command_->LastError();
    outcome.check = command_->LastCheck();
    return outcome;
}

}  // namespace clipforge
