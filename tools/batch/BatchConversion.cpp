#include "BatchConversion.h"

#include "BatchProgram.h"
#include "BatchQueue.h"
#include "ClosedOutput.h"
#include "JoblogSession.h"
#include "JsonReport.h"
#include "PlannedJob.h"
#include "ShellCommand.h"
#include "SplitPlanLines.h"
#include "StartFailuresInReasons.h"
#include "TextReport.h"

#include "core/CommandManager.h"
#include "core/DisplayText.h"
#include "core/Errors.h"
#include "core/Paths.h"
#include "core/SaveManager.h"
#include "engine/CommandLineSplitter.h"
#include "engine/ConverterCommand.h"
#include "engine/ConverterConfinement.h"
#include "engine/JobPlan.h"
#include "engine/OverwriteManager.h"
#include "engine/PacketReader.h"
#include "engine/SignalWatcher.h"

#include <ostream>

namespace clipforge {
namespace {

std::unique_ptr<BatchReport> makeReport(std::ostream& out, const BatchConversion::Options& options)
{
    if (options.json)
        return std::make_unique<JsonReport>(out);
    return std::make_unique<TextReport>(out, options.liveWidth);
}

}  // namespace

BatchConversion::BatchConversion(std::ostream& out, std::ostream& err, const TCommandManager& catalogue,
                                 Options options)
    : out_(out), err_(err), catalogue_(catalogue), options_(options), tree_(catalogue.Names(), staging_)
{
}

int BatchConversion::run(const std::string& listFile, Output output)
{
    listFile_ = listFile;
    TSaveManager(tree_).ReadList(listFile);
    switch (output) {
    case Output::CommandLines:
        return printPlans([](int, const JobPlan& plan) { return displayText(plan.commandLine, Backslash::Kept); });
    case Output::ShellPlan:
        return printPlans([this](int row, const JobPlan& plan) {
            return plannedJobCommand(plannedJob(row, plan, options_.check));
        });
    case Output::RawShellPlan:
        return printPlans([](int, const JobPlan& plan) { return shellCommand(splitCommandLine(plan.commandLine)); });
    case Output::SplitShellPlan:
        return printSplitPlans();
    default:
        return convert();
    }
}

// Every line of the plan carries its id: the folder its job's pieces share is named after it.
int BatchConversion::printSplitPlans()
{
    PacketReader reader;
    const std::string planId = newPlanId();
    return printPlans([&](int row, const JobPlan& plan) {
        return splitPlanLines(plannedJob(row, plan, options_.check), reader, options_.split, planId);
    });
}

int BatchConversion::printPlans(const std::function<std::string(int row, const JobPlan&)>& format)
{
    // The chooser remembers every name it gave out, so later jobs see earlier ones as taken.
    TOverwriteManager names;
    const std::string converter = converterPath(programFolder());
    bool allPlanned = true;
    for (int row = 0; row < tree_.Count(); ++row) {
        const JobPlan plan = planJob(tree_.Job(row).ItemData, catalogue_, names, converter);
        try {
            if (plan.refused())
                throw Error(plan.refusal);
            out_ << format(row, plan) << '\n';
        } catch (const Error& error) {
            reportReason(row, error.what());
            allPlanned = false;
        }
    }
    out_.flush();
    return allPlanned ? beSuccess : beJobFailed;
}

int BatchConversion::convert()
{
    const int count = tree_.Count();
    std::optional<JoblogSession> joblog;
    if (!options_.joblog.empty())
        joblog.emplace(options_.joblog, listFile_, tree_, catalogue_, options_.resume);
    const int skipped = joblog ? joblog->doneCount() : 0;
    const std::unique_ptr<BatchReport> report = makeReport(out_, options_);
    for (const std::string& ignored : joblog ? joblog->ignoredLines() : std::vector<std::string>()) {
        report->beforeMessage();
        err_ << "clipforge-batch: " << displayText(ignored) << std::endl;
    }
    const std::string confinement = confinementNotice();
    if (!confinement.empty()) {
        report->beforeMessage();
        err_ << "clipforge-batch: " << confinement << std::endl;
    }
    report->runStarted(count, options_.parallel, confinement.empty());
    for (int row = 0; joblog && row < count; ++row) {
        if (const std::string* output = joblog->doneOutput(row))
            report->jobSkipped(row, *output);
    }
    bool interrupted = false;
    {
        const StartFailuresInReasons startFailures;
        BatchQueue queue(catalogue_, tree_, *report, options_.parallel);
        queue.checkOutputs(options_.check);
        queue.splitJobs(options_.split);
        queue.onJobFailed = [this](const PooledJobOutcome& job) { reportReason(job.index, job.reason); };
        queue.onJobWarned = [this](const PooledJobOutcome& job) { reportWarning(job.index, job.check->reason); };
        if (joblog)
            journal(queue, *joblog, *report);
        const auto stopRun = [&](const char* why) {
            if (interrupted)
                return;
            interrupted = true;
            report->beforeMessage();
            err_ << "clipforge-batch: " << why << "; the running jobs will count as failed" << std::endl;
            queue.stop();
        };
        SignalWatcher interrupts(SignalWatcher::runEndingSignals(), [&] {
            endingSignal_ = interrupts.firstSignal();
            if (interrupts.requests() == 1)
                return stopRun("stopping");
            // Asked again: the running jobs are given up without waiting for their ends; their
            // converters are killed and their private folders go with them.
            report->beforeMessage();
            err_ << "clipforge-batch: ending now" << std::endl;
            queue.abandon();
        });
        const ClosedOutput closedOutput(out_, ClosedOutput::descriptorOf(out_),
                                        [&] { stopRun("standard output was closed; stopping"); });
        queue.run();
    }
    const int finished = countJobs(jsFinished);
    report->runEnded(count, finished, countJobs(jsFailed),
                     options_.resume ? std::optional<int>(skipped) : std::nullopt, interrupted);
    if (interrupted)
        return beInterrupted;
    return finished + skipped == count ? beSuccess : beJobFailed;
}

void BatchConversion::journal(BatchQueue& queue, JoblogSession& joblog, BatchReport& report)
{
    queue.skip = [&joblog](int row) { return joblog.doneOutput(row) != nullptr; };
    queue.beforeCommit = [&joblog](const PooledJob& job, const std::string& written, const std::string& chosen) {
        joblog.committing(job, written, chosen);
    };
    // The output is committed by now; should its end not reach the joblog, its intent line
    // still lets --resume find it.
    queue.afterJob = [this, &joblog, &report](const PooledJob& job, const PooledJobOutcome& outcome) {
        try {
            joblog.ended(job, outcome);
        } catch (const Error& error) {
            report.beforeMessage();
            err_ << "clipforge-batch: " << displayText(error.what()) << std::endl;
        }
    };
}

void BatchConversion::reportReason(int row, const std::string& reason)
{
    err_ << "clipforge-batch: job " << row << ": " << displayText(reason) << std::endl;
}

void BatchConversion::reportWarning(int row, const std::string& reason)
{
    err_ << "clipforge-batch: job " << row << ": warning: " << displayText(reason) << std::endl;
}

int BatchConversion::countJobs(int state) const
{
    int count = 0;
    for (int row = 0; row < tree_.Count(); ++row)
        count += tree_.Job(row).State == state ? 1 : 0;
    return count;
}

}  // namespace clipforge
