#pragma once

#include <QPersistentModelIndex>
#include <QPointer>

#include "engine/ConsoleRunnerTypes.h"
#include "engine/ConverterReport.h"
#include "engine/JobPlan.h"
#include "engine/OutputCheck.h"
#include "engine/ProgressReader.h"
#include "engine/SplitPlan.h"
#include "engine/StreamMapping.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QObject;
class QTimer;
class TCommandManager;
class TConsoleRunner;
class TOverwriteManager;
class TTreeManager;

namespace clipforge {
struct JobOutcome;
class LeftoverSweeps;
class MainThreadBridge;
class PacketReader;
class PrivateOutputFolder;
class SplitRun;
class TaskWorkers;
}

// The conversion driver: converts the job list from its first job to its last, one converter
// run per job, and reports each job's end, a clock tick every second and the end of the run.
// A job finishes only with a usable output; a failed job keeps its reason in the job list
// (FailureReason). The converter writes into a private folder of the job's (beside the output);
// a finished output is committed under its name by a step that replaces nothing, and the
// folder goes with whatever else is in it, so nothing at an output name is ever touched.
//
// The driver reaches its jobs through the model only: the current job is a persistent index, so
// nothing it holds can dangle. From Start until OnFinished it locks the job list, so deletes,
// clears and imports are refused while a run is active or stopping (ListLocked()).
class TCommand {
public:
    using TLineEvent = std::function<void(QObject* Sender, const std::string& Line)>;
    using TProgressEvent = std::function<void(QObject* Sender, std::int32_t Percent)>;
    using TTimerEvent = std::function<void(QObject* Sender)>;
    using TFinishedEvent = std::function<void(QObject* Sender, bool Stopped)>;
    using TJobProgressEvent = std::function<void(QObject* Sender, std::int32_t Percent)>;

    TCommand(TTreeManager& tree, const TCommandManager& catalogue);
    // Stops a running converter; nothing is called on the driver or the list afterwards.
    ~TCommand();
    TCommand(const TCommand&) = delete;
    TCommand& operator=(const TCommand&) = delete;

    // Whether a run converts the jobs that have already been converted once more.
    enum class FinishedJobs { Convert, Skip };
    // Begins a run at the first job to convert. Does nothing while a run is active or when there
    // is no job to convert.
    void Start(FinishedJobs finished = FinishedJobs::Convert);
    // Asks the run to end; it ends when the killed converter's end is reported.
    void Stop();
    // The clock's handler, once a second while a run is active: moves the current job's block
    // one step and the run clock one second.
    void Tick();

    bool Stopped() const { return IsStopped; }
    // True from Start until OnFinished has been raised: the list must not change meanwhile.
    bool ListLocked() const { return Active; }
    std::uint32_t CurrentIndex() const { return Current; }
    // The jobs of the latest run, and how many of them came before the current one; the same as
    // the list's count and the current row unless finished jobs were skipped.
    std::uint32_t RunJobs() const { return RunSize; }
    std::uint32_t RunPosition() const { return Position; }
    std::int64_t ElapsedSeconds() const { return Elapsed; }
    // The output path of the current job, after the unique-name rule; once the job has
    // finished, the name it was really committed under. Empty for a job that failed before its
    // converter could start.
    const std::string& OutputPath() const { return UniquePath; }
    // Where the current job's converter writes (inside its private folder); empty when no
    // converter runs.
    const std::string& WritingPath() const { return Writing; }
    // The exit code of the job that ended last; none when it failed without a process.
    std::optional<std::uint32_t> LastExitCode() const { return ExitCode; }
    // Why the job that ended last failed; empty when it finished. The job list keeps the same
    // text with the job.
    const std::string& LastError() const { return Error; }
    TConsoleRunner& Runner() { return *ConsoleRunner; }
    // How far the current job has got, as its converter's output tells.
    clipforge::JobProgress CurrentProgress() const;
    // Chooses output names with names, shared with the drivers that run beside this one, instead
    // of a chooser of its own: names given out to any of them count as taken, so no two get the
    // same output. names outlives the run; its owner starts it afresh for each run.
    void ShareNames(TOverwriteManager& names) { Names = &names; }
    // Starts the output names from name instead of the source's name with the profile's
    // extension: a name picked beforehand, as a plan does for a driver over one job. The
    // unique-name rule still moves it on when it is taken.
    void ChooseOutputName(std::string name) { ChosenName = std::move(name); }
    // Clears dead writers' leftovers through sweeps, shared with the drivers beside this one, so
    // each output folder is swept once per run. sweeps outlives the run; its owner forgets it
    // for each run.
    void ShareSweeps(clipforge::LeftoverSweeps& sweeps) { Sweeps = &sweeps; }
    // Checks every output the converter finished against its source before it is committed, as
    // mode says, reading packets through reader (one of the driver's own, kept for its life,
    // when none is given).
    // The source is read while the converter runs; the output right after. Off by default.
    void CheckOutputs(clipforge::CheckMode mode, std::shared_ptr<clipforge::PacketReader> reader = {});
    // True while the current job's output is being checked; the job still counts as converting.
    bool CheckingOutput() const
    {
        return Stage == JobStage::ReadingPackets || Stage == JobStage::DecodingOutput || Stage == JobStage::DecodingSource;
    }
    // Converts a long job's pictures in up to options.parts parts side by side, on workers
    // (every part at once when none are given), its sound once more beside them, then joins them
    // into the output, which is checked and committed as any job's. Jobs that cannot be cut
    // exactly run whole, exactly as without this. Before Start.
    void SplitJobs(const clipforge::SplitOptions& options, clipforge::TaskWorkers* workers = nullptr);
    // A split job whose parts other processes made (lines of a plan, on any machine): they are
    // gathered instead of converted, then joined, checked and committed as above.
    struct TPartsMadeElsewhere {
        // Puts each of the part files named (the pictures' in order, then the sound's) into folder,
        // the job's own; a clipforge::Error when one cannot be had.
        std::function<void(const std::string& folder, const std::vector<std::string>& names)> Gather;
        // Written into the output's metadata; the join is bit-exact.
        std::string Stamp;
        // The job's output that another process committed already (Found), or else the free name
        // to commit under (Free), both from one look at the names in the order the unique-name
        // rule tries them. Asked just before the commit and for every name found taken.
        struct TLook {
            std::string Found;
            std::string Free;
        };
        std::function<TLook()> Committed;
    };
    void JoinPartsMadeElsewhere(const clipforge::SplitOptions& options, TPartsMadeElsewhere parts);
    // Whether the job that ended last found its output committed by another process (OutputPath
    // names it) and dropped its own.
    bool FoundCommitted() const { return FoundElsewhere; }
    // Whether and how the current (or last) job was split; none before that is known, or when
    // splitting is off.
    const std::optional<clipforge::SplitPlan>& LastSplit() const { return Split; }
    // Whether the current job occupies a worker of its own: not once it is split, when its parts
    // take workers instead.
    bool HoldsWorker() const { return !Split || !Split->splits(); }
    // What the check found for the job that ended last; none when it was not checked.
    const std::optional<clipforge::CheckResult>& LastCheck() const { return Check; }

    TLineEvent OnLine;
    TProgressEvent OnProgress;
    TTimerEvent OnTimer;
    TFinishedEvent OnFinished;
    // Once a second during a job whose progress is known: where the run's bar stands, between the
    // values OnProgress gives at the ends of jobs; it never goes back within a run.
    TJobProgressEvent OnJobProgress;
    // Just before a finished output is committed: the file the converter wrote, whole, and the
    // name it is about to take. A clipforge::Error thrown here fails the job instead.
    std::function<void(const std::string& Written, const std::string& Chosen)> OnCommitting;
    // Once a job's split is decided (LastSplit), before any of its converters starts.
    std::function<void()> OnSplitDecided;

private:
    void RunCurrent();
    void RunnerNewLine(QObject* sender, const std::string& line, TOutputType type);
    void showJobProgress();
    void JobEnded(QObject* sender, bool success);
    void RunnerTerminated(QObject* sender, std::uint32_t exitCode);
    void startConverter();
    void readSource(const std::string& source);
    void probeForSplit();
    void splitDecided(const clipforge::MediaPackets& source);
    void startParts();
    void runWhole();
    void commitOutput();
    void partsEnded(const clipforge::JobOutcome& outcome);
    void beginCheck(std::uint32_t exitCode);
    void checkEnded(const clipforge::CheckResult& result);
    void decode(const std::string& file, bool source);
    void decodeEnded(std::uint32_t exitCode);
    void endJobWith(clipforge::JobOutcome outcome);
    void failWithoutProcess(const std::string& reason);
    // Readies the job's private folder; the reason when it cannot be had.
    std::string prepareFolders(const clipforge::JobPlan& plan);
    // Commits a finished output, or says a failed one's reason in terms of the output's name.
    void settleOutput(clipforge::JobOutcome& outcome);
    void jobDone(QObject* sender, std::optional<std::uint32_t> exitCode, const clipforge::JobOutcome& outcome);
    void moveTo(int row);
    // The first row from row on that this run converts; the list's count when none is left.
    int nextToConvert(int row) const;
    void endRun(QObject* sender, bool stopped);
    void leaveJob();
    int jobCount() const;

    QPointer<TTreeManager> Tree;
    const TCommandManager& Catalogue;
    std::unique_ptr<QTimer> Timer;
    std::unique_ptr<TConsoleRunner> ConsoleRunner;
    std::unique_ptr<TOverwriteManager> OverwriteManager;
    TOverwriteManager* Names;  // the driver's own chooser unless one is shared
    std::unique_ptr<clipforge::LeftoverSweeps> OwnSweeps;
    clipforge::LeftoverSweeps* Sweeps;  // the driver's own unless shared
    std::unique_ptr<clipforge::PrivateOutputFolder> Private;
    std::string Writing;
    std::string Converter;
    std::string Folder;
    std::string Name;
    std::string UniquePath;
    std::string ChosenName;
    std::string Error;
    std::optional<std::uint32_t> ExitCode;
    clipforge::ConverterReport Report;
    clipforge::StreamMapping Mapping;
    clipforge::CheckMode Checks = clipforge::CheckMode::Off;
    std::shared_ptr<clipforge::PacketReader> Packets;
    std::shared_ptr<clipforge::MainThreadBridge> CheckBridge;
    struct SourcePackets;
    std::shared_ptr<SourcePackets> Source;  // the current job's, as the reader answers
    std::vector<std::string> Params;  // the current job's profile arguments, as the converter gets them
    std::optional<clipforge::CheckResult> Check;
    std::uint64_t CheckRun = 0;  // answers for an earlier check are ignored
    // Where the current job is once its converter has ended well: its packets being read, then
    // (a full check) the output decoded, and for a copied stream the source too.
    // A split job reads its source's packets first, then has its parts converted.
    enum class JobStage { Converting, ReadingPackets, DecodingOutput, DecodingSource, Probing, Parts };
    JobStage Stage = JobStage::Converting;
    std::string SourcePath;
    std::string ProfileParams;  // the current job's profile arguments as stored
    std::string Ext;
    clipforge::SplitOptions SplitWanted;
    clipforge::TaskWorkers* Workers = nullptr;  // the driver's own unless shared
    std::unique_ptr<clipforge::TaskWorkers> OwnWorkers;
    std::optional<clipforge::SplitPlan> Split;
    std::unique_ptr<clipforge::SplitRun> Parts;
    bool Joining = false;  // the converter joins the parts
    std::optional<TPartsMadeElsewhere> Elsewhere;
    bool FoundElsewhere = false;
    std::string DecodeError;        // the first error line of the output's decoding
    std::set<std::string> SourceDecodeErrors;  // every error line of the source's, a bounded few
    std::unique_ptr<clipforge::ProgressReader> Reader;
    std::int32_t BarPosition = 0;
    QPersistentModelIndex CurrentNode;
    std::uint32_t Current = 0;
    std::uint32_t Position = 0;
    std::uint32_t RunSize = 0;
    FinishedJobs Finished = FinishedJobs::Convert;
    std::int64_t Elapsed = 0;
    bool IsStopped = true;
    bool Active = false;
};
