#include "engine/Command.h"

#include "core/CommandManager.h"
#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/TreeManager.h"
#include "core/xml/FileIo.h"
#include "engine/CommandLineSplitter.h"
#include "engine/ConsoleRunner.h"
#include "engine/ConverterCommand.h"
#include "engine/DefaultOutputFolder.h"
#include "engine/JobOutcome.h"
#include "engine/JobPlan.h"
#include "engine/LeftoverSweeps.h"
#include "engine/MainThreadBridge.h"
#include "engine/OverwriteManager.h"
#include "engine/PacketReader.h"
#include "engine/PrivateOutputFolder.h"
#include "engine/ProgressText.h"
#include "engine/RunPercent.h"
#include "engine/RunnerEnd.h"
#include "engine/SplitCommands.h"
#include "engine/SplitRun.h"
#include "engine/TaskWorkers.h"

#include <QTimer>

#include <exception>
#include <mutex>

namespace {

// A damaged source can say the same thing thousands of times; a few hundred tell enough.
constexpr std::size_t MaxSourceErrors = 256;

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

struct TCommand::SourcePackets {
    std::mutex mutex;
    clipforge::MediaPackets packets;
};

TCommand::TCommand(TTreeManager& tree, const TCommandManager& catalogue)
    : Tree(&tree),
      Catalogue(catalogue),
      Timer(std::make_unique<QTimer>()),
      ConsoleRunner(std::make_unique<TConsoleRunner>()),
      OverwriteManager(std::make_unique<TOverwriteManager>()),
      Names(OverwriteManager.get()),
      OwnSweeps(std::make_unique<clipforge::LeftoverSweeps>()),
      Sweeps(OwnSweeps.get()),
      Converter(clipforge::converterPath(clipforge::programFolder())),
      CheckBridge(std::make_shared<clipforge::MainThreadBridge>())
{
    Timer->setInterval(1000);
    QObject::connect(Timer.get(), &QTimer::timeout, Timer.get(), [this] { Tick(); });
    ConsoleRunner->Settings.OnNewLine = [this](TConsoleRunner* sender, const std::string& line, TOutputType type) {
        RunnerNewLine(sender, line, type);
    };
    ConsoleRunner->Settings.OnTerminated = [this](TConsoleRunner* sender, std::uint32_t exitCode) {
        RunnerTerminated(sender, exitCode);
    };
}

TCommand::~TCommand()
{
    // The runner's destruction kills a running converter and cuts its events; the timer takes
    // any queued failure of a job that could not start with it.
    CheckBridge->cut();
    if (Active && Tree)
        Tree->SetLocked(false);
    // The converters must be gone before their private folder goes.
    Parts.reset();
    ConsoleRunner.reset();
    Private.reset();
}

void TCommand::Start(FinishedJobs finished)
{
    if (Active)
        return;
    Finished = finished;
    const int first = nextToConvert(0);
    if (first >= jobCount())
        return;
    RunSize = 0;
    for (int row = first; row < jobCount(); row = nextToConvert(row + 1))
        ++RunSize;
    Active = true;
    Tree->SetLocked(true);
    if (Names == OverwriteManager.get())
        OverwriteManager->ForgetNames();
    if (Sweeps == OwnSweeps.get())
        OwnSweeps->forget();
    BarPosition = 0;
    Position = 0;
    moveTo(first);
    Timer->start();
    IsStopped = false;
    RunCurrent();
}

void TCommand::Stop()
{
    IsStopped = true;
    ConsoleRunner->Stop();
    if (Parts && Stage == JobStage::Parts)
        Parts->stop();
    if (Stage != JobStage::ReadingPackets && Stage != JobStage::Probing)
        return;
    // The check's answer is no longer waited for; the job ends as a stopped one, a turn of the
    // event loop later, as a stopped converter's end comes. A decoding ends as a converter does.
    Stage = JobStage::Converting;
    ++CheckRun;
    QMetaObject::invokeMethod(
        Timer.get(), [this] { endJobWith({false, "stopped"}); }, Qt::QueuedConnection);
}

void TCommand::CheckOutputs(clipforge::CheckMode mode, std::shared_ptr<clipforge::PacketReader> reader)
{
    Checks = mode;
    if (reader)
        Packets = std::move(reader);
}

void TCommand::RunCurrent()
{
    const int row = CurrentNode.row();
    Check.reset();
    clipforge::JobPlan plan = clipforge::planJob(Tree->Job(row).ItemData, Catalogue, *Names, Converter, {}, ChosenName);
    if (plan.refused()) {
        failWithoutProcess(plan.refusal);
        return;
    }
    if (std::string reason = prepareFolders(plan); !reason.empty()) {
        failWithoutProcess(reason);
        return;
    }
    // The converter starts in its private folder, so every path it is given must hold from there.
    Writing = clipforge::absolutePath(Private->writingPath(plan.outputPath));
    plan.source = clipforge::absolutePath(plan.source);
    Folder = std::move(plan.outputFolder);
    Name = std::move(plan.outputName);
    UniquePath = std::move(plan.outputPath);
    Error.clear();
    Report.clear();
    // The converter prints the file it writes, in the private folder.
    Report.setNames({plan.source, Writing});
    Mapping.clear();
    Params = clipforge::splitCommandLine(plan.params);
    SourcePath = plan.source;
    ProfileParams = plan.params;
    Ext = plan.ext;
    Split.reset();
    Joining = false;
    FoundElsewhere = false;
    Tree->SetState(row, jsConverting);
    Tree->SetProgress(row, {});
    Tree->SetBusy(row, true);
    Reader = std::make_unique<clipforge::ProgressReader>();
    Tree->FocusNode(row);
    ConsoleRunner->Settings.CommandLine = plan.commandLineWritingTo(Writing);
    ConsoleRunner->Settings.ShownCommandLine = std::move(plan.commandLine);
    // Side files a converter may write by itself (pass logs, statistics) land there too, and it
    // can write nowhere else, whatever its arguments say.
    ConsoleRunner->Settings.WorkingFolder = clipforge::absolutePath(Private->path());
    ConsoleRunner->Settings.WritableFolder = ConsoleRunner->Settings.WorkingFolder;
    if (SplitWanted.parts > 1) {
        probeForSplit();
        return;
    }
    readSource(plan.source);
    startConverter();
}

void TCommand::startConverter()
{
    try {
        ConsoleRunner->Execute();
    } catch (const std::exception& error) {
        // The system could not give the run its worker: the job fails like one whose
        // converter could not start, rather than leaving the window busy for good.
        failWithoutProcess(std::string("the converter could not be started: ") + error.what());
    }
}

void TCommand::JoinPartsMadeElsewhere(const clipforge::SplitOptions& options, TPartsMadeElsewhere parts)
{
    SplitJobs(options);
    Elsewhere = std::move(parts);
}

void TCommand::SplitJobs(const clipforge::SplitOptions& options, clipforge::TaskWorkers* workers)
{
    SplitWanted = options;
    if (!workers && !OwnWorkers)
        OwnWorkers = std::make_unique<clipforge::EveryTaskAtOnce>();
    Workers = workers ? workers : OwnWorkers.get();
}

// Where a job can be cut is read from its source's packets, which the check reads anyway.
void TCommand::probeForSplit()
{
    const bool regular = clipforge::fileStatus(SourcePath).kind == clipforge::FileKind::Regular;
    if (!clipforge::profileSplitRefusal(Params).empty() || !regular) {
        clipforge::MediaPackets unread;
        // A FIFO or a device would give the reader the converter's bytes, or keep it waiting.
        unread.error = "it is not a regular file";
        readSource(SourcePath);
        Split = clipforge::planSplit(Params, unread, SplitWanted);
        if (OnSplitDecided)
            OnSplitDecided();
        runWhole();
        return;
    }
    if (!Packets)
        Packets = std::make_shared<clipforge::PacketReader>();
    Source = Checks == clipforge::CheckMode::Off ? nullptr : std::make_shared<SourcePackets>();
    Stage = JobStage::Probing;
    const std::uint64_t run = ++CheckRun;
    Packets->read(SourcePath, [this, run, bridge = CheckBridge, held = Source](const clipforge::MediaPackets& packets) {
        if (held) {
            std::lock_guard lock(held->mutex);
            held->packets = packets;
        }
        bridge->post([this, run, packets] {
            if (Stage == JobStage::Probing && run == CheckRun)
                splitDecided(packets);
        });
    });
}

void TCommand::splitDecided(const clipforge::MediaPackets& source)
{
    Stage = JobStage::Converting;
    Split = clipforge::planSplit(Params, source, SplitWanted);
    if (OnSplitDecided)
        OnSplitDecided();
    if (Split->splits())
        startParts();
    else
        runWhole();
}

void TCommand::runWhole()
{
    // Pieces made elsewhere were cut from the source as it was: a whole conversion now would
    // commit what no line of theirs can know again.
    if (Elsewhere)
        failWithoutProcess("the source no longer splits as it did when the plan was made");
    else
        startConverter();
}

void TCommand::startParts()
{
    std::string folder;
    try {
        folder = clipforge::absolutePath(Private->subfolder("parts"));
        const std::vector<std::string> names = clipforge::pieceFiles(*Split, Ext);
        clipforge::replaceFileContents(folder + "parts.ffconcat", clipforge::concatList(names, *Split));
        if (Elsewhere) {
            Elsewhere->Gather(folder, names);
            partsEnded({true, {}});
            return;
        }
        std::vector<clipforge::SplitTask> tasks;
        for (std::size_t i = 0; i < Split->cuts.size(); ++i) {
            const std::string part = folder + names[i];
            tasks.push_back({clipforge::partCommandLine(Converter, SourcePath, ProfileParams, Split->cuts[i], part),
                             part, Split->cuts[i].seconds, true});
        }
        if (Split->sound) {
            const std::string sound = folder + names.back();
            tasks.push_back({clipforge::soundCommandLine(Converter, SourcePath, Params, sound), sound,
                             Split->soundSeconds, false});
        }
        Stage = JobStage::Parts;
        Parts = std::make_unique<clipforge::SplitRun>(*Workers, folder, std::move(tasks),
                                                      [this](const clipforge::JobOutcome& outcome) { partsEnded(outcome); });
    } catch (const clipforge::Error& error) {
        failWithoutProcess(error.what());
        return;
    }
    Parts->start();
}

// Called from the parts' own notification: what follows happens a turn of the event loop later,
// when the parts may go.
void TCommand::partsEnded(const clipforge::JobOutcome& outcome)
{
    QMetaObject::invokeMethod(
        Timer.get(),
        [this, outcome] {
            Stage = JobStage::Converting;
            if (!outcome.finished || IsStopped) {
                endJobWith(outcome.finished ? clipforge::JobOutcome{false, "stopped"} : outcome);
                return;
            }
            const std::string folder = clipforge::absolutePath(Private->path()) + "parts/";
            Joining = true;
            Report.clear();
            Report.setNames({SourcePath, Writing});
            ConsoleRunner->Settings.CommandLine = clipforge::joinCommandLine(Converter, folder + "parts.ffconcat",
                                                                    folder + clipforge::soundFile(Ext), SourcePath, Params,
                                                                    *Split, Writing, Elsewhere ? Elsewhere->Stamp : "");
            startConverter();
        },
        Qt::QueuedConnection);
}

// A job that cannot be given to the converter never gets a process, so no end-of-run report
// would come. It ends failed through the same path as a converter that failed, one turn of the
// event loop later, so a list full of such jobs neither recurses nor blocks the loop.
void TCommand::failWithoutProcess(const std::string& reason)
{
    UniquePath.clear();
    Writing.clear();
    Parts.reset();
    Private.reset();
    QMetaObject::invokeMethod(
        Timer.get(),
        [this, outcome = clipforge::JobOutcome{false, reason}] {
            jobDone(ConsoleRunner.get(), std::nullopt, outcome);
        },
        Qt::QueuedConnection);
}

void TCommand::RunnerNewLine(QObject* sender, const std::string& line, TOutputType type)
{
    if (Stage != JobStage::Converting) {
        // A decoder's words: the output's first error counts, and any of the source's.
        const std::string error = type == otEntireLine ? clipforge::decodeErrorText(line) : std::string();
        if (!error.empty() && Stage == JobStage::DecodingOutput && DecodeError.empty())
            DecodeError = error;
        if (!error.empty() && Stage == JobStage::DecodingSource && SourceDecodeErrors.size() < MaxSourceErrors)
            SourceDecodeErrors.insert(error);
        return;
    }
    Report.add(line, type);
    // The join's inputs are its parts: its mapping says nothing of the source's streams.
    if (type == otEntireLine && !Joining)
        Mapping.add(line);
    // A beginning of a line may stop in the middle of a number; its end comes as a whole line.
    if (Reader && type == otEntireLine)
        Reader->read(line);
    if (OnLine)
        OnLine(sender, std::string());
}

void TCommand::JobEnded(QObject* sender, bool success)
{
    if (OnProgress && RunSize > 0) {
        BarPosition = clipforge::runPercent(Position, RunSize, 100);
        OnProgress(sender, BarPosition);
    }
    if (!CurrentNode.isValid())
        return;
    if (success)
        Tree->SetState(CurrentNode.row(), jsFinished);
    else
        Tree->SetFailure(CurrentNode.row(), Error);
}

void TCommand::RunnerTerminated(QObject* sender, std::uint32_t exitCode)
{
    if (Stage == JobStage::DecodingOutput || Stage == JobStage::DecodingSource) {
        decodeEnded(exitCode);
        return;
    }
    const clipforge::JobEnd end = clipforge::runnerEnd(*ConsoleRunner, exitCode, IsStopped);
    clipforge::JobOutcome outcome = clipforge::judgeJob(end, Report, Writing);
    if (outcome.finished && Checks != clipforge::CheckMode::Off && Private) {
        beginCheck(exitCode);
        return;
    }
    if (outcome.finished)
        Check = clipforge::underMode({}, clipforge::CheckMode::Off);
    settleOutput(outcome);
    jobDone(sender, exitCode, outcome);
}

// Read while the converter runs, when its pages are being read anyway.
void TCommand::readSource(const std::string& source)
{
    if (Checks == clipforge::CheckMode::Off)
        return;
    if (!Packets)
        Packets = std::make_shared<clipforge::PacketReader>();
    Source = std::make_shared<SourcePackets>();
    // A FIFO or a device would give the reader the converter's bytes, or keep it waiting.
    if (clipforge::fileStatus(source).kind != clipforge::FileKind::Regular) {
        Source->packets.error = "it is not a regular file";
        return;
    }
    Packets->read(source, [held = Source](const clipforge::MediaPackets& packets) {
        std::lock_guard lock(held->mutex);
        held->packets = packets;
    });
}

// The reader answers in the order it was asked, so the source's answer is in by the time the
// output's comes. Neither is waited for on this thread.
void TCommand::beginCheck(std::uint32_t exitCode)
{
    Stage = JobStage::ReadingPackets;
    ExitCode = exitCode;
    // The job stays converting; its bar stands at its end while its output is checked.
    Tree->SetProgress(CurrentNode.row(), clipforge::CheckingOutputHint);
    const auto end = clipforge::runPercent(Position, RunSize, 100);
    if (end > BarPosition && OnJobProgress) {
        BarPosition = end;
        OnJobProgress(ConsoleRunner.get(), end);
    }
    const std::uint64_t run = ++CheckRun;
    Packets->read(Writing, [this, run, bridge = CheckBridge, source = Source, params = Params,
                            mapping = Mapping](const clipforge::MediaPackets& output) {
        clipforge::MediaPackets read;
        {
            std::lock_guard lock(source->mutex);
            read = source->packets;
        }
        const clipforge::CheckResult result =
            clipforge::checkOutput(clipforge::expectStreams(params, read, mapping), read, output);
        // A cut bridge means this driver is gone: nothing is touched.
        bridge->post([this, run, result] {
            if (Stage == JobStage::ReadingPackets && run == CheckRun)
                checkEnded(result);
        });
    });
}

void TCommand::checkEnded(const clipforge::CheckResult& result)
{
    Check = clipforge::underMode(result, Checks);
    if (Checks == clipforge::CheckMode::Full && !Check->failed()) {
        decode(Writing, false);
        return;
    }
    Stage = JobStage::Converting;
    endJobWith(Check->failed() ? clipforge::JobOutcome{false, Check->reason} : clipforge::JobOutcome{true, {}});
}

// Through the same runner as the conversion, so Stop and the signals end it the same way.
void TCommand::decode(const std::string& file, bool source)
{
    Stage = source ? JobStage::DecodingSource : JobStage::DecodingOutput;
    if (source)
        SourceDecodeErrors.clear();
    else
        DecodeError.clear();
    // The source is decoded to its end: its errors may come in another order than the output's.
    ConsoleRunner->Settings.CommandLine = clipforge::decodeCommandLine(
        Converter, file, source ? clipforge::DecodeErrors::GoOn : clipforge::DecodeErrors::End);
    ConsoleRunner->Settings.ShownCommandLine.clear();
    try {
        ConsoleRunner->Execute();
    } catch (const std::exception& error) {
        Stage = JobStage::Converting;
        endJobWith({false, std::string("the output could not be decoded: ") + error.what()});
    }
}

void TCommand::decodeEnded(std::uint32_t exitCode)
{
    const bool decodingSource = Stage == JobStage::DecodingSource;
    Stage = JobStage::Converting;
    if (IsStopped) {
        endJobWith({false, "stopped"});
        return;
    }
    // Any error counts, also one the decoder went on after (a demuxer skipping a broken part).
    std::string error = decodingSource ? std::string() : DecodeError;
    if (!decodingSource && error.empty() && exitCode != 0)
        error = "the converter ended with code " + std::to_string(exitCode);
    const bool copies = clipforge::expectStreams(Params, {}, {}).copies;
    // A FIFO's bytes went to the converter; there is nothing left of it to decode.
    if (!decodingSource && !error.empty() && copies &&
        clipforge::fileStatus(SourcePath).kind == clipforge::FileKind::Regular) {
        // A copied stream keeps the source's own damage: only what the source lacks counts.
        DecodeError = error;
        decode(SourcePath, true);
        return;
    }
    if (decodingSource && SourceDecodeErrors.count(DecodeError)) {
        Check->note += std::string(Check->note.empty() ? "" : "; ") + "the source does not decode either: " + DecodeError;
    } else if (decodingSource) {
        error = DecodeError;
    }
    if (!error.empty()) {
        Check->verdict = clipforge::CheckResult::Verdict::Failed;
        Check->reason = "the output does not decode: " + error;
    }
    endJobWith(Check->failed() ? clipforge::JobOutcome{false, Check->reason} : clipforge::JobOutcome{true, {}});
}

void TCommand::endJobWith(clipforge::JobOutcome outcome)
{
    settleOutput(outcome);
    jobDone(ConsoleRunner.get(), ExitCode, outcome);
}

std::string TCommand::prepareFolders(const clipforge::JobPlan& plan)
{
    // The job's folder as stored may end in part of a name ("out" + "clip.mp4"): the output's
    // real folder is the one its path names.
    const std::string folder = clipforge::folderPart(plan.outputPath);
    try {
        clipforge::prepareOutputFolder(plan.outputFolder);
        Sweeps->sweepOnce(folder);
        Private = std::make_unique<clipforge::PrivateOutputFolder>(folder);
    } catch (const clipforge::Error& error) {
        return error.what();
    }
    return {};
}

void TCommand::settleOutput(clipforge::JobOutcome& outcome)
{
    // The parts' converters have ended; their files go with the private folder.
    Parts.reset();
    Joining = false;
    if (!Private)
        return;
    if (outcome.finished) {
        try {
            if (OnCommitting)
                OnCommitting(Writing, UniquePath);
            commitOutput();
        } catch (const clipforge::Error& error) {
            outcome = {false, error.what()};
        }
    } else {
        // The converter's words name the file it was given; the user knows the output's name.
        replaceAll(outcome.reason, Writing, UniquePath);
        replaceAll(outcome.reason, Private->path(), clipforge::folderPart(UniquePath));
    }
    Writing.clear();
    Private.reset();
}

namespace {

// Another process committed the same job's output while this one was joining it.
struct CommittedElsewhere {
    std::string path;
};

}  // namespace

void TCommand::commitOutput()
{
    std::string next;
    // True with next set when the names were looked at for a job whose pieces came from elsewhere.
    const auto lookElsewhere = [this, &next] {
        if (!Elsewhere)
            return false;
        TPartsMadeElsewhere::TLook look = Elsewhere->Committed();
        if (!look.Found.empty())
            throw CommittedElsewhere{std::move(look.Found)};
        next = std::move(look.Free);
        return !next.empty();
    };
    try {
        // The file was written under the name chosen at the start: that name is tried first.
        lookElsewhere();
        UniquePath = Private->commit(UniquePath, [this, &next, &lookElsewhere] {
            return lookElsewhere() ? next : Names->GetUniqueName(Folder + Name);
        });
    } catch (const CommittedElsewhere& found) {
        // The join was bit-exact: what is there is what this job would have committed.
        UniquePath = found.path;
        FoundElsewhere = true;
    }
}

void TCommand::jobDone(QObject* sender, std::optional<std::uint32_t> exitCode, const clipforge::JobOutcome& outcome)
{
    ExitCode = exitCode;
    Error = outcome.reason;
    Reader.reset();
    if (CurrentNode.isValid() && outcome.finished) {
        const bool warned = Check && Check->verdict == clipforge::CheckResult::Verdict::Warned;
        Tree->SetOutput(CurrentNode.row(), UniquePath, static_cast<std::int64_t>(clipforge::fileStatus(UniquePath).size),
                        warned ? Check->reason : std::string());
    }
    JobEnded(sender, outcome.finished);
    ConsoleRunner->Stop();
    const int next = nextToConvert(static_cast<int>(Current) + 1);
    if (!CurrentNode.isValid() || next >= jobCount()) {
        endRun(sender, false);
    } else if (!IsStopped) {
        leaveJob();
        ++Position;
        moveTo(next);
        RunCurrent();
    } else {
        endRun(sender, true);
    }
}

void TCommand::Tick()
{
    if (CurrentNode.isValid())
        Tree->StepFrame(CurrentNode.row());
    ++Elapsed;
    showJobProgress();
    if (OnTimer)
        OnTimer(Timer.get());
}

clipforge::JobProgress TCommand::CurrentProgress() const
{
    if (Parts)
        return Parts->progress();
    return Reader ? Reader->progress() : clipforge::JobProgress();
}

void TCommand::showJobProgress()
{
    if (!Reader || !CurrentNode.isValid() || (Stage != JobStage::Converting && Stage != JobStage::Parts))
        return;
    const clipforge::JobProgress progress = CurrentProgress();
    Tree->SetProgress(CurrentNode.row(), clipforge::progressText(progress));
    if (!progress.percent)
        return;
    const std::int32_t position =
        clipforge::runPercent(Position, RunSize, *progress.percent);
    if (position <= BarPosition)
        return;
    BarPosition = position;
    if (OnJobProgress)
        OnJobProgress(ConsoleRunner.get(), position);
}

void TCommand::moveTo(int row)
{
    CurrentNode = Tree->index(row, 0);
    Current = static_cast<std::uint32_t>(row);
}

int TCommand::nextToConvert(int row) const
{
    while (row < jobCount() && Finished == FinishedJobs::Skip && Tree->Job(row).State == jsFinished)
        ++row;
    return row;
}

void TCommand::leaveJob()
{
    if (!CurrentNode.isValid())
        return;
    Tree->SetBusy(CurrentNode.row(), false);
    Tree->SetProgress(CurrentNode.row(), {});
}

void TCommand::endRun(QObject* sender, bool stopped)
{
    leaveJob();
    Current = 0;
    Position = 0;
    Timer->stop();
    IsStopped = true;
    Elapsed = 0;
    Active = false;
    if (Tree)
        Tree->SetLocked(false);
    if (OnFinished)
        OnFinished(sender, stopped);
}

int TCommand::jobCount() const
{
    return Tree ? Tree->Count() : 0;
}
