#pragma once

#include "core/ItemManager.h"
#include "core/ItemNodeData.h"
#include "core/TreeManager.h"
#include "engine/Command.h"
#include "engine/JobPlan.h"
#include "engine/OutputCheck.h"
#include "engine/ProgressReader.h"
#include "engine/SplitPlan.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TCommandManager;
class TOverwriteManager;

namespace clipforge {

class LeftoverSweeps;
class PacketReader;
class TaskWorkers;

// How one job of a pooled run ended.
struct PooledJobOutcome {
    int index = 0;
    bool finished = false;
    std::optional<std::uint32_t> exitCode;  // none when no converter ran
    std::string output;                     // empty when the job got no output name
    std::string reason;                     // why it failed; empty when it finished
    std::optional<CheckResult> check;       // what the output's check found; none when not checked
    std::optional<SplitPlan> split;         // whether it was split; none when splitting is off or undecided
    bool committedElsewhere = false;        // another process committed the same output first

    bool warned() const { return check && check->verdict == CheckResult::Verdict::Warned; }
};

// One job of a pooled run, converted by a driver of its own over a list of just that job, so
// that several can run side by side with everything the driver decides per job (output name,
// outcome) the same as in the window.
class PooledJob {
public:
    using Ended = std::function<void(PooledJob&)>;

    // names: the run's output-name chooser, shared by every job of the run; sweeps: the run's
    // clearing of leftovers, likewise.
    PooledJob(const TCommandManager& catalogue, const TItemData& job, int index, TOverwriteManager& names,
             LeftoverSweeps& sweeps, Ended ended);
    ~PooledJob();
    PooledJob(const PooledJob&) = delete;
    PooledJob& operator=(const PooledJob&) = delete;

    // Starts from this output name instead of one made from the source (see
    // TCommand::ChooseOutputName); before start().
    void chooseOutputName(std::string name);
    // Checks the output as mode says, through the run's reader; before start().
    void checkOutputs(CheckMode mode, std::shared_ptr<PacketReader> reader);
    // Splits a long job into parts run as tasks of workers (TCommand::SplitJobs); decided tells
    // when whether it splits is known. Before start().
    void splitJobs(const SplitOptions& options, TaskWorkers& workers, std::function<void()> decided);
    // Joins parts that other processes made (TCommand::JoinPartsMadeElsewhere); before start().
    void joinPartsMadeElsewhere(const SplitOptions& options, TCommand::TPartsMadeElsewhere parts);
    void start();
    void stop();

    // Called just before the job's finished output is committed, with the file written and the
    // name it is about to take; a clipforge::Error thrown fails the job instead.
    void onCommitting(std::function<void(const std::string& written, const std::string& chosen)> handler);

    int index() const { return index_; }
    const std::string& source() const { return source_; }
    int profile() const { return profile_; }
    // The output path chosen at the start; empty when the job could not be planned.
    const std::string& output() const;
    JobProgress progress() const;
    // Whether and how it is split; none while that is not known, or when splitting is off.
    const std::optional<SplitPlan>& split() const;
    // Whether it occupies a worker of its own (not once its parts do).
    bool holdsWorker() const;
    // True while the job's output is being checked; the job still counts as converting.
    bool checkingOutput() const;
    // Valid once the job has ended.
    PooledJobOutcome outcome() const;

private:
    TItemManager staging_;
    TTreeManager list_;
    std::unique_ptr<TCommand> command_;
    int index_;
    std::string source_;
    int profile_;
};

}  // namespace clipforge
