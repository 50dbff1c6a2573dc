#include "BatchConversion.h"

#include "BatchProgram.h"
#include "BatchQueue.h"
#include "InterruptWatcher.h"
#include "JsonReport.h"
#include "ShellCommand.h"
#include "TextReport.h"
#include "core/CommandManager.h"
#include "core/Errors.h"
#include "core/Paths.h"
#include "core/SaveManager.h"
#include "engine/Command.h"
#include "engine/CommandLineSplitter.h"
#include "engine/ConsoleRunner.h"
#include "engine/ConverterCommand.h"
#include "engine/JobPlan.h"
#include "engine/OverwriteManager.h"
#include "engine/StartFailureReporter.h"

#include <ostream>
#include <set>

namespace clipforge {
namespace {

// Sends the runner's "cannot start the converter" messages to standard error for as long as a
// conversion runs, and puts the previous reporter back afterwards. The runner reports such a
// message in the same hand-over as the job's end, so each one is out before the run is over.
class StartFailuresTo {
public:
    explicit StartFailuresTo(std::ostream& err)
        : previous_(setStartFailureReporter([&err](const std::string& message) { err << message << std::endl; }))
    {
    }
    ~StartFailuresTo() { setStartFailureReporter(previous_); }
    StartFailuresTo(const StartFailuresTo&) = delete;
    StartFailuresTo& operator=(const StartFailuresTo&) = delete;

private:
    StartFailureReporter previous_;
};

}  // namespace

BatchConversion::BatchConversion(std::ostream& out, std::ostream& err, const TCommandManager& catalogue,
                                 Options options)
    : out_(out), err_(err), catalogue_(catalogue), options_(options), tree_(catalogue.Names(), staging_)
{
}

int BatchConversion::run(const std::string& listFile, Output output)
{
    TSaveManager(tree_).ReadList(listFile);
    switch (output) {
    case Output::CommandLines:
        return printPlans([](const JobPlan& plan) { return plan.commandLine; });
    case Output::ShellPlan:
        return printPlans([](const JobPlan& plan) { return shellCommand(splitCommandLine(plan.commandLine)); });
    default:
        return convert();
    }
}

int BatchConversion::printPlans(const std::function<std::string(const JobPlan&)>& format)
{
    const TOverwriteManager names;
    const std::string converter = converterPath(programFolder());
    std::set<std::string> taken;
    const auto takenEarlier = [&taken](const std::string& path) { return taken.count(path) > 0; };
    bool allPlanned = true;
    for (int row = 0; row < tree_.Count(); ++row) {
        try {
            const JobPlan plan = planJob(tree_.Job(row).ItemData, catalogue_, names, converter, takenEarlier);
            const std::string line = format(plan);
            out_ << line << '\n';
            taken.insert(plan.outputPath);
        } catch (const clipforge::Error& error) {
            reportJobWithoutProcess(row, error.what());
            allPlanned = false;
        }
    }
    out_.flush();
    return allPlanned ? 0 : 1;
}

int BatchConversion::convert()
{
    const int count = tree_.Count();
    std::unique_ptr<BatchReport> report;
    if (options_.json)
        report = std::make_unique<JsonReport>(out_);
    else
        report = std::make_unique<TextReport>(out_, options_.liveWidth);
    report->runStarted(count, options_.parallel);
    bool interrupted = false;
    {
        StartFailuresTo startFailures(err_);
        BatchQueue queue(catalogue_, tree_, *report, options_.parallel);
        queue.onJobWithoutProcess = [this](const BatchJobOutcome& job) { reportJobWithoutProcess(job.index, job.reason); };
        const InterruptWatcher interrupts([&] {
            err_ << "clipforge-batch: stopping; the running jobs will count as failed" << std::endl;
            interrupted = true;
            queue.stop();
        });
        queue.run();
    }
    const int finished = countJobs(jsFinished);
    report->runEnded(count, finished, countJobs(jsFailed), interrupted);
    if (interrupted)
        return beInterrupted;
    return finished == count ? beSuccess : beJobFailed;
}

void BatchConversion::reportJobWithoutProcess(int row, const std::string& reason)
{
    const int format = tree_.Job(row).ItemData.Format;
    if (format >= 0 && format < catalogue_.Count()) {
        err_ << "clipforge-batch: job " << row << ": " << reason << std::endl;
        return;
    }
    err_ << "clipforge-batch: job " << row << " asks for profile " << format
         << ", which the catalogue does not hold (it has " << catalogue_.Count() << ")" << std::endl;
}

int BatchConversion::countJobs(int state) const
{
    int count = 0;
    for (int row = 0; row < tree_.Count(); ++row)
        count += tree_.Job(row).State == state ? 1 : 0;
    return count;
}

}  // namespace clipforge
