#pragma once

#include "core/ItemManager.h"
#include "core/TreeManager.h"
#include "engine/OutputCheck.h"
#include "engine/SplitPlan.h"

#include <functional>
#include <optional>
#include <iosfwd>
#include <string>

class TCommandManager;

namespace clipforge {

struct JobPlan;
class BatchQueue;
class BatchReport;
class JoblogSession;

// clipforge-batch convert: reads a list file into a job list and converts it with the same
// driver and runner as the desktop program, or prints the command lines a run would use.
class BatchConversion {
public:
    enum class Output {
        Conversion,    // convert, one result line per job
        CommandLines,  // the converter's command line per job, as the runner is given it
        ShellPlan,     // one POSIX shell command per job, converting it with clipforge-batch job
        RawShellPlan,  // one POSIX shell command per job, running the bare converter
        SplitShellPlan,  // as ShellPlan, but a long job as one command per piece (split.parts at most)
    };

    struct Options {
        int parallel = 1;                        // converters at once
        bool json = false;                       // JSON Lines instead of text lines
        std::optional<std::size_t> liveWidth;    // a terminal's width, for the live status line
        std::string joblog;                      // the joblog to keep; empty for none
        bool resume = false;                     // skip the jobs the joblog shows finished
        CheckMode check = CheckMode::Streams;    // how each output is checked before its commit
        SplitOptions split;                      // long jobs in parts; parts 1: never
    };

    BatchConversion(std::ostream& out, std::ostream& err, const TCommandManager& catalogue, Options options);

    // Exit code: 0 when every job finished (or was planned), 1 when any failed, 130 when a
    // signal (SIGINT, SIGTERM, SIGHUP, SIGQUIT) or a closed standard output stopped the run;
    // errors reading the list leave as exceptions, before anything runs.
    int run(const std::string& listFile, Output output);
    // The signal that stopped the run; 0 when none did.
    int endingSignal() const { return endingSignal_; }

private:
    // Plans every job as a run would, in order, and prints each plan as format gives it.
    int printPlans(const std::function<std::string(int row, const JobPlan&)>& format);
    int printSplitPlans();
    int convert();
    // Why the job at row failed, as one line on standard error.
    void reportReason(int row, const std::string& reason);
    void reportWarning(int row, const std::string& reason);
    int countJobs(int state) const;
    // Keeps the joblog of the run queue makes: skips what it shows done, journals the rest.
    void journal(BatchQueue& queue, JoblogSession& joblog, BatchReport& report);

    std::string listFile_;

    std::ostream& out_;
    std::ostream& err_;
    const TCommandManager& catalogue_;
    Options options_;
    TItemManager staging_;
    TTreeManager tree_;
    int endingSignal_ = 0;
};

}  // namespace clipforge
