#include "PlannedJobRun.h"

#include "BatchJob.h"
#include "BatchProgram.h"
#include "PlannedJob.h"
#include "PrintableText.h"
#include "StartFailuresInReasons.h"
#include "TextReport.h"

#include "core/CommandManager.h"
#include "core/LocalText.h"
#include "engine/OverwriteManager.h"
#include "engine/SignalWatcher.h"

#include <QEventLoop>

#include <csignal>
#include <ostream>

namespace clipforge {

int PlannedJobRun::run(const PlannedJob& planned)
{
    TCommandManager catalogue{TCommandManager::Empty{}};
    catalogue.AddProfile({}, planned.params, planned.ext);
    TItemData item;
    item.FileName = widen(planned.source);
    item.Format = 0;
    item.Path = widen(planned.folder);

    const StartFailuresInReasons startFailures;
    TOverwriteManager names;
    QEventLoop loop;
    bool ended = false;
    BatchJob job(catalogue, item, planned.index, names, [&](BatchJob&) {
        ended = true;
        loop.quit();
    });
    job.chooseOutputName(planned.name);
    bool interrupted = false;
    // A closed SSH session hangs up; the job then stops like one that is told to.
    SignalWatcher interrupts({SIGINT, SIGTERM, SIGHUP}, [&] {
        err_ << "clipforge-batch: stopping; the job will count as failed" << std::endl;
        interrupts.restoreHandlers();
        interrupted = true;
        job.stop();
    });
    job.start();
    if (!ended)
        loop.exec();

    const BatchJobOutcome outcome = job.outcome();
    TextReport(out_, {}).jobEnded(outcome);
    if (outcome.finished)
        reportMovedName(planned, outcome.output);
    else
        err_ << "clipforge-batch: job " << planned.index << ": " << printable(outcome.reason) << std::endl;
    if (interrupted)
        return beInterrupted;
    return outcome.finished ? beSuccess : beJobFailed;
}

// Another machine or program took the planned name after the plan was made.
void PlannedJobRun::reportMovedName(const PlannedJob& job, const std::string& output)
{
    if (output == job.folder + job.name)
        return;
    err_ << "clipforge-batch: job " << job.index << ": " << printable(job.name)
         << " was taken meanwhile; the output is " << printable(output) << std::endl;
}

}  // namespace clipforge
