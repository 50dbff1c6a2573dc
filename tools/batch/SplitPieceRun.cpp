#include "SplitPieceRun.h"

#include "BatchProgram.h"
#include "PlannedJob.h"
#include "PlannedJobRun.h"
#include "SharedSplitFolder.h"
#include "SplitPlanLines.h"
#include "StartFailuresInReasons.h"

#include "core/DisplayText.h"
#include "core/Errors.h"
#include "core/Paths.h"
#include "engine/CommandLineSplitter.h"
#include "engine/ConverterCommand.h"
#include "engine/PacketReader.h"
#include "engine/SignalWatcher.h"
#include "engine/SplitCommands.h"
#include "engine/SplitRun.h"
#include "engine/TaskWorkers.h"

#include <QEventLoop>

#include <optional>
#include <ostream>

namespace clipforge {
namespace {

SplitPlan planAgain(const PlannedJob& job, PacketReader& reader)
{
    SplitPlan split = splitOfPlannedJob(job, reader, {job.piece->parts, job.piece->splitMinimum});
    const int part = job.piece->part;
    if (!split.splits() || part > split.parts || (part == 0 && !split.sound))
        throw Error("the source no longer splits as it did when the plan was made" +
                    (split.why.empty() ? std::string() : ": " + split.why));
    return split;
}

std::string pieceName(const PlannedJob& job)
{
    return job.piece->part == 0 ? soundFile(job.ext) : partFile(static_cast<std::size_t>(job.piece->part - 1), job.ext);
}

}  // namespace

int SplitPieceRun::run(const PlannedJob& job)
{
    PacketReader reader;
    reader_ = &reader;
    const SharedSplitFolder shared(job.folder, job.piece->planId, job.index);
    if (!committedSplitOutput(job, reader).empty()) {
        // Its committing line may have died before it cleared up.
        shared.remove();
        return beSuccess;
    }
    try {
        const SplitPlan split = planAgain(job, reader);
        shared.make();
        if (!shared.holds(pieceName(job))) {
            if (const int converted = convertPiece(job, split, shared, pieceName(job)); converted != beSuccess)
                return converted;
        }
        return shared.holdsAll(pieceFiles(split, job.ext)) ? join(job, shared) : beSuccess;
    } catch (const Error& error) {
        return failed(job, shared, error.what());
    }
}

int SplitPieceRun::convertPiece(const PlannedJob& job, const SplitPlan& split, const SharedSplitFolder& shared,
                                const std::string& piece)
{
    const std::string writing = shared.makeWritingFolder();
    const std::string output = writing + piece;
    const std::string converter = converterPath(programFolder());
    const std::string source = absolutePath(job.source);
    const int part = job.piece->part;
    const SplitTask task{part == 0 ? soundCommandLine(converter, source, splitCommandLine(job.params), output)
                                   : partCommandLine(converter, source, job.params, split.cuts[static_cast<std::size_t>(part - 1)], output),
                         output, 0, part != 0};
    JobOutcome outcome = runTask(task, writing);
    try {
        if (outcome.finished && !interrupted_)
            shared.publish(output, piece);
    } catch (const Error& error) {
        outcome = {false, error.what()};
    }
    SharedSplitFolder::removeFolder(writing);
    if (interrupted_) {
        err_ << "clipforge-batch: job " << job.index << ": " << piece << ": stopped" << std::endl;
        return beInterrupted;
    }
    return outcome.finished ? beSuccess : failed(job, shared, piece + ": " + outcome.reason);
}

JobOutcome SplitPieceRun::runTask(const SplitTask& task, const std::string& folder)
{
    const StartFailuresInReasons startFailures;
    EveryTaskAtOnce workers;
    QEventLoop loop;
    std::optional<JobOutcome> ended;
    SplitRun run(workers, folder, {task}, [&](const JobOutcome& outcome) {
        ended = outcome;
        loop.quit();
    });
    // A closed SSH session hangs up; the piece then stops like one that is told to.
    SignalWatcher interrupts(SignalWatcher::jobStoppingSignals(), [&] {
        interrupted_ = true;
        run.stop();
    });
    run.start();
    if (!ended)
        loop.exec();
    return ended.value_or(JobOutcome{false, "stopped"});
}

int SplitPieceRun::join(const PlannedJob& job, const SharedSplitFolder& shared)
{
    PlannedJobRun joiner(out_, err_);
    const PlannedJobRun::Ended ended = joiner.convert(job, [&](PooledJob& pooled) {
        pooled.joinPartsMadeElsewhere(
            {job.piece->parts, job.piece->splitMinimum},
            {[&shared](const std::string& folder, const std::vector<std::string>& names) { shared.linkInto(folder, names); },
             splitStamp(job.piece->planId, job.index), [this, &job] {
                 const CommittedLook look = lookForSplitOutput(job, *reader_);
                 return TCommand::TPartsMadeElsewhere::TLook{look.found, look.free};
             }});
    });
    if (ended.endedNow || ended.interrupted) {
        err_ << "clipforge-batch: job " << job.index << ": " << (ended.endedNow ? "ending now" : "stopped") << std::endl;
        return beInterrupted;
    }
    const PooledJobOutcome& outcome = ended.outcome;
    if (!outcome.finished)
        return failed(job, shared, outcome.reason);
    if (!outcome.committedElsewhere)
        joiner.report(job, outcome, false);
    shared.remove();
    return beSuccess;
}

int SplitPieceRun::failed(const PlannedJob& job, const SharedSplitFolder& shared, const std::string& reason)
{
    if (!committedSplitOutput(job, *reader_).empty()) {
        shared.remove();
        return beSuccess;
    }
    err_ << "clipforge-batch: job " << job.index << ": " << displayText(reason) << std::endl;
    return beJobFailed;
}

}  // namespace clipforge
