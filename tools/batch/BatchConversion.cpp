#include "BatchConversion.h"

#include "BatchProgram.h"

#include "core/CommandManager.h"
#include "core/Paths.h"
#include "core/SaveManager.h"
#include "engine/Command.h"
#include "engine/ConsoleRunner.h"
#include "engine/ConverterCommand.h"
#include "engine/JobPlan.h"
#include "engine/OverwriteManager.h"
#include "engine/SignalWatcher.h"
#include "engine/StartFailureReporter.h"

#include <QEventLoop>

#include <ostream>
#include <set>

namespace clipforge {
namespace {

// A converter that cannot be started is reported as its job's reason, right after the job's
// line; the runner's own report of it would say the same thing twice.
class StartFailuresInReasons {
public:
    StartFailuresInReasons() : previous_(setStartFailureReporter([](const std::string&) {})) {}
    ~StartFailuresInReasons() { setStartFailureReporter(previous_); }
    StartFailuresInReasons(const StartFailuresInReasons&) = delete;
    StartFailuresInReasons& operator=(const StartFailuresInReasons&) = delete;

private:
    StartFailureReporter previous_;
};

}  // namespace

BatchConversion::BatchConversion(std::ostream& out, std::ostream& err, const TCommandManager& catalogue)
    : out_(out), err_(err), catalogue_(catalogue), tree_(catalogue.Names(), staging_)
{
}

int BatchConversion::run(const std::string& listFile, bool dryRun)
{
    TSaveManager(tree_).ReadList(listFile);
    return dryRun ? printCommandLines() : convert();
}

int BatchConversion::printCommandLines()
{
    const TOverwriteManager names;
    const std::string converter = converterPath(programFolder());
    std::set<std::string> taken;
    const auto takenEarlier = [&taken](const std::string& path) { return taken.count(path) > 0; };
    bool allPlanned = true;
    for (int row = 0; row < tree_.Count(); ++row) {
        const JobPlan plan = planJob(tree_.Job(row).ItemData, catalogue_, names, converter, takenEarlier);
        if (plan.refused()) {
            reportReason(row, plan.refusal);
            allPlanned = false;
            continue;
        }
        out_ << plan.commandLine << '\n';
        taken.insert(plan.outputPath);
    }
    out_.flush();
    return allPlanned ? beSuccess : beJobFailed;
}

int BatchConversion::convert()
{
    const int count = tree_.Count();
    bool interrupted = false;
    if (count > 0) {
        const StartFailuresInReasons startFailures;
        TCommand command(tree_, catalogue_);
        QEventLoop loop;
        command.OnProgress = [&](QObject*, int) { reportJobEnd(command); };
        command.OnFinished = [&](QObject*, bool) { loop.quit(); };
        SignalWatcher interrupts({SIGINT, SIGTERM}, [&] {
            err_ << "clipforge-batch: stopping; the current job will count as failed" << std::endl;
            // A second Ctrl-C ends the program at once; the converter dies with it.
            interrupts.restoreHandlers();
            interrupted = true;
            command.Stop();
        });
        command.Start();
        if (command.ListLocked())
            loop.exec();
    }
    const int finished = finishedJobs();
    out_ << count << " files, finished " << finished << " of " << count << std::endl;
    if (interrupted)
        return beInterrupted;
    return finished == count ? beSuccess : beJobFailed;
}

void BatchConversion::reportJobEnd(const TCommand& command)
{
    const int row = static_cast<int>(command.CurrentIndex());
    const std::optional<std::uint32_t> exitCode = command.LastExitCode();
    const bool failed = !command.LastError().empty();
    out_ << row << '\t' << (failed ? "failed" : "finished") << '\t' << (exitCode ? std::to_string(*exitCode) : "-")
         << '\t' << (command.OutputPath().empty() ? "-" : command.OutputPath()) << std::endl;
    if (failed)
        reportReason(row, command.LastError());
}

void BatchConversion::reportReason(int row, const std::string& reason)
{
    err_ << "clipforge-batch: job " << row << ": " << reason << std::endl;
}

int BatchConversion::finishedJobs() const
{
    int finished = 0;
    for (int row = 0; row < tree_.Count(); ++row)
        finished += tree_.Job(row).State == jsFinished ? 1 : 0;
    return finished;
}

}  // namespace clipforge
