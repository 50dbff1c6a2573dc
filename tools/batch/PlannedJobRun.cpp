#include "PlannedJobRun.h"

#include "engine/PooledJob.h"
#include "BatchProgram.h"
#include "PlannedJob.h"
#include "StartFailuresInReasons.h"
#include "TextReport.h"

#include "core/CommandManager.h"
#include "core/DisplayText.h"
#include "core/LocalText.h"
#include "engine/ConverterConfinement.h"
#include "engine/LeftoverSweeps.h"
#include "engine/NameFitting.h"
#include "engine/OverwriteManager.h"
#include "engine/PacketReader.h"
#include "engine/SignalWatcher.h"

#include <QEventLoop>

#include <ostream>

namespace clipforge {

namespace {

// The job as the driver takes it, its profile being the only one of the catalogue.
TItemData jobData(const PlannedJob& planned)
{
    TItemData job;
    job.FileName = widen(planned.source);
    job.Format = 0;
    job.Path = widen(planned.folder);
    return job;
}

}  // namespace

int PlannedJobRun::run(const PlannedJob& planned)
{
    const Ended ended = convert(planned, {});
    // Asked again before the job's end: the job goes unreported, and with it its converter and
    // its private folder.
    if (ended.endedNow) {
        err_ << "clipforge-batch: ending now" << std::endl;
        return beInterrupted;
    }
    return report(planned, ended.outcome, ended.interrupted);
}

PlannedJobRun::Ended PlannedJobRun::convert(const PlannedJob& planned, const std::function<void(PooledJob&)>& prepare)
{
    TCommandManager catalogue{TCommandManager::Empty{}};
    catalogue.AddProfile({}, planned.params, planned.ext);
    const StartFailuresInReasons startFailures;
    TOverwriteManager names;
    LeftoverSweeps sweeps;
    QEventLoop loop;
    bool ended = false;
    PooledJob job(catalogue, jobData(planned), planned.index, names, sweeps, [&](PooledJob&) {
        ended = true;
        loop.quit();
    });
    job.chooseOutputName(planned.name);
    job.checkOutputs(planned.check, planned.check == CheckMode::Off ? nullptr : std::make_shared<PacketReader>());
    if (prepare)
        prepare(job);
    if (const std::string confinement = confinementNotice(); !confinement.empty())
        err_ << "clipforge-batch: " << confinement << std::endl;
    Ended result;
    // A closed SSH session hangs up; the job then stops like one that is told to.
    SignalWatcher interrupts(SignalWatcher::jobStoppingSignals(), [&] {
        if (interrupts.requests() > 1) {
            result.endedNow = true;
            return loop.quit();
        }
        err_ << "clipforge-batch: stopping; the job will count as failed" << std::endl;
        result.interrupted = true;
        job.stop();
    });
    job.start();
    if (!ended)
        loop.exec();
    result.endedNow = result.endedNow && !ended;
    if (!result.endedNow)
        result.outcome = job.outcome();
    return result;
}

int PlannedJobRun::report(const PlannedJob& planned, const PooledJobOutcome& outcome, bool interrupted)
{
    TextReport(out_, {}).jobEnded(outcome);
    if (outcome.warned())
        err_ << "clipforge-batch: job " << planned.index << ": warning: " << displayText(outcome.check->reason) << std::endl;
    if (outcome.finished)
        reportMovedName(planned, outcome.output);
    else
        err_ << "clipforge-batch: job " << planned.index << ": " << displayText(outcome.reason) << std::endl;
    if (interrupted)
        return beInterrupted;
    return outcome.finished ? beSuccess : beJobFailed;
}

// Another machine or program took the planned name after the plan was made, or the name never
// fitted the folder (a hand-written line).
void PlannedJobRun::reportMovedName(const PlannedJob& job, const std::string& output)
{
    if (output == job.folder + job.name)
        return;
    const bool tooLong = job.name.size() > fileNameLimit(job.folder);
    err_ << "clipforge-batch: job " << job.index << ": " << displayText(job.name)
         << (tooLong ? " is longer than the folder allows" : " was taken meanwhile") << "; the output is "
         << displayText(output) << std::endl;
}

}  // namespace clipforge
