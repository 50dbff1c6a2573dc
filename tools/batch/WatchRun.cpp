#include "WatchRun.h"

#include "BatchProgram.h"
#include "BatchQueue.h"
#include "ClosedOutput.h"
#include "JsonReport.h"
#include "MountTable.h"
#include "StartFailuresInReasons.h"
#include "TextReport.h"

#include "core/CommandManager.h"
#include "core/DisplayText.h"
#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/UserStateFolder.h"
#include "engine/Decimals.h"
#include "engine/DefaultOutputFolder.h"
#include "engine/SignalWatcher.h"

#include <cerrno>
#include <cstring>
#include <ostream>
#include <utility>

namespace clipforge {
namespace {

std::unique_ptr<BatchReport> makeReport(std::ostream& out, const WatchRun::Options& options)
{
    if (options.json)
        return std::make_unique<JsonReport>(out);
    return std::make_unique<TextReport>(out, options.liveWidth);
}

std::chrono::milliseconds millisecondsOf(double seconds)
{
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

// The folder's real path, links resolved, so that one folder is known by one name in its
// record however it was reached; empty when there is no folder.
std::string realFolder(const std::string& folder)
{
    const std::optional<std::string> real = realPath(absolutePath(folder));
    if (!real || fileStatus(*real).kind != FileKind::Folder)
        return {};
    return *real;
}

bool inside(const std::string& path, const std::string& folder)
{
    return path == folder || path.compare(0, withTrailingSeparator(folder).size(), withTrailingSeparator(folder)) == 0;
}

std::string secondsText(double seconds)
{
    std::string text = decimalText(seconds, 3);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

}  // namespace

WatchRun::WatchRun(std::ostream& out, std::ostream& err, const TCommandManager& catalogue, Options options)
    : out_(out),
      err_(err),
      catalogue_(catalogue),
      options_(std::move(options)),
      names_(options_.ignored),
      report_(makeReport(out, options_)),
      events_([this](const std::vector<FolderEvent>& events) { handle(events); }),
      settling_(
          millisecondsOf(options_.settleSeconds),
          [this](const std::string& path, const WatchedFileKey& key) { take(path, key); },
          [this](const std::string& path, const std::string& reason) { report_->fileWaiting(path, reason); }),
      jobs_(catalogue.Names(), staging_)
{
    QObject::connect(&rescanTimer_, &QTimer::timeout, &rescanTimer_, [this] { rescan(); });
}

WatchRun::~WatchRun() = default;

int WatchRun::run()
{
    prepare();
    announce();
    {
        const StartFailuresInReasons startFailures;
        BatchQueue queue(catalogue_, jobs_, *report_, options_.parallel);
        wire(queue);
        SignalWatcher interrupts(SignalWatcher::runEndingSignals(), [&] {
            endingSignal_ = interrupts.firstSignal();
            interrupts.restoreHandlers();
            stop("stopping");
        });
        const ClosedOutput closedOutput(out_, ClosedOutput::descriptorOf(out_),
                                        [this] { stop("standard output was closed; stopping"); });
        rescan();
        rescanTimer_.start(millisecondsOf(options_.rescanSeconds));
        queue.run();
        rescanTimer_.stop();
        queue_ = nullptr;
    }
    reportEnd();
    return beInterrupted;
}

void WatchRun::prepare()
{
    outputFolder_ = prepareOutputFolder();
    const FileIdentity outputFolder = fileStatus(outputFolder_).identity;
    roots_.reserve(options_.folders.size());
    for (const std::string& folder : options_.folders)
        addRoot(folder, outputFolder);
}

std::string WatchRun::prepareOutputFolder()
{
    std::string folder = options_.outputFolder.empty() ? defaultOutputFolder(programFolder())
                                                       : absolutePath(options_.outputFolder);
    folder = withTrailingSeparator(folder);
    if (!makeFolders(folder))
        throw Error("the output folder " + folder + " cannot be made: " + std::strerror(errno));
    return folder;
}

void WatchRun::addRoot(const std::string& folder, const FileIdentity& outputFolder)
{
    const std::string root = rootPath(folder);
    const std::string output = realFolder(outputFolder_);
    if (inside(root, output))
        throw Error(folder + " is the output folder or lies inside it; its videos would be the outputs themselves");
    for (const Root& other : roots_) {
        if (inside(root, other.tree->root()) || inside(other.tree->root(), root))
            throw Error(folder + " and " + other.tree->root() + " overlap; watch the outer one only");
    }
    const std::size_t index = roots_.size();
    Root& added = roots_.emplace_back(Root{nullptr, nullptr, FolderPresence(root)});
    added.tree = std::make_unique<WatchedTree>(events_, root, std::set<FileIdentity>{outputFolder},
                                               [this, index](const std::string& path) {
                                                   consider(roots_[index], path, Cause::Found);
                                               });
    std::string message;
    added.record = std::make_unique<WatchRecord>(userStateFolder(), root, options_.profile, message);
    if (!message.empty())
        warn(message);
}

// The path a watched folder is known by in its record: its real path, links resolved. A folder
// awaited is known by its absolute path, with the links of the part that is there resolved.
std::string WatchRun::rootPath(const std::string& folder) const
{
    const std::string root = realFolder(folder);
    if (!root.empty())
        return root;
    const std::string awaited = realPathAsFarAsItGoes(absolutePath(folder));
    if (!options_.awaitMissingFolders || fileStatus(awaited).exists())
        throw Error("no folder to watch at " + folder);
    return awaited;
}

void WatchRun::announce()
{
    WatchSettings settings{{}, outputFolder_, options_.profile, options_.parallel, options_.settleSeconds,
                           options_.rescanSeconds};
    for (const Root& root : roots_)
        settings.folders.push_back(root.tree->root());
    report_->watchStarted(settings);
    if (!events_.valid())
        warn(std::string("the system gives no notice of new files (") + std::strerror(events_.error()) +
             "); the folders are looked through every " + secondsText(options_.rescanSeconds) + " s instead");
    if (!options_.json)
        warn("watching " + std::to_string(roots_.size()) + " folder(s); outputs go to " + outputFolder_ +
             "; Ctrl-C ends");
}

void WatchRun::wire(BatchQueue& queue)
{
    queue_ = &queue;
    queue.keepOpen();
    queue.checkOutputs(options_.check);
    queue.onJobFailed = [this](const PooledJobOutcome& job) {
        err_ << "clipforge-batch: job " << job.index << ": " << displayText(job.reason) << std::endl;
    };
    queue.onJobWarned = [this](const PooledJobOutcome& job) {
        err_ << "clipforge-batch: job " << job.index << ": warning: " << displayText(job.check->reason) << std::endl;
    };
    queue.afterJob = [this](const PooledJob& job, const PooledJobOutcome& outcome) {
        jobEnded(job.source(), outcome.finished, outcome.output, outcome.reason);
    };
}

void WatchRun::stop(const char* why)
{
    if (std::exchange(stopping_, true) || !queue_)
        return;
    report_->beforeMessage();
    err_ << "clipforge-batch: " << why << "; the running jobs stop, and are converted at the next start" << std::endl;
    rescanTimer_.stop();
    queue_->stop();
}

void WatchRun::reportEnd()
{
    int finished = 0;
    int failed = 0;
    for (int row = 0; row < jobs_.Count(); ++row) {
        finished += jobs_.Job(row).State == jsFinished ? 1 : 0;
        failed += jobs_.Job(row).State == jsFailed ? 1 : 0;
    }
    report_->runEnded(jobs_.Count(), finished, failed, std::nullopt, true);
}

void WatchRun::consider(Root& root, const std::string& path, Cause cause)
{
    // A file changed during its conversion is looked at again when its job ends.
    if (taken_.count(path))
        return;
    const std::string reason = names_.waitingReason(path);
    if (reason == ArrivalNames::NotVideo)
        return;
    if (!reason.empty()) {
        if (std::exchange(waitingReported_[path], reason) != reason)
            report_->fileWaiting(path, reason);
        return;
    }
    waitingReported_.erase(path);
    const FileStatus status = fileStatus(path, FinalLink::Examined);
    if (status.kind != FileKind::Regular || settled(root, path, status))
        return;
    const bool waiting = settling_.contains(path);
    // A rescan only finds what is new; an event says the file changed, so its wait begins again.
    if (waiting && cause == Cause::Found)
        return;
    if (!waiting)
        report_->fileSeen(path, status.size);
    settling_.add(path);
}

bool WatchRun::settled(Root& root, const std::string& path, const FileStatus& status)
{
    const std::string relative = root.tree->relative(path);
    const WatchedFileKey key{status.size, status.modifiedNanoseconds};
    const WatchedFileResult* result = root.record->find(relative);
    if (!result)
        return movedHere(root, relative, status);
    if (result->key != key)
        return false;
    return result->converted || !options_.retryFailed || failedThisRun_.count(path) != 0;
}

// A rename or a move inside the folder keeps a file's inode, size and modification time, and
// leaves nothing at its old name: that file was converted already. A copy leaves the original
// in place and counts as new.
bool WatchRun::movedHere(Root& root, const std::string& relative, const FileStatus& status)
{
    const WatchedFileKey key{status.size, status.modifiedNanoseconds};
    for (const std::string& earlier : root.record->convertedWith(key, status.identity.inode)) {
        if (fileStatus(root.tree->root() + "/" + earlier, FinalLink::Examined).exists())
            continue;
        WatchedFileResult moved = *root.record->find(earlier);
        try {
            root.record->keep(relative, moved);
        } catch (const Error& error) {
            warn(std::string("the watch record cannot be written: ") + error.what());
        }
        return true;
    }
    return false;
}

void WatchRun::take(const std::string& path, const WatchedFileKey& key)
{
    Root* root = rootOf(path);
    if (!root || !queue_ || queue_->stopping())
        return;
    taken_[path] = {root, key, fileStatus(path, FinalLink::Examined).identity.inode};
    TItemData job;
    job.FileName = widen(path);
    job.Format = options_.profile;
    job.Path = widen(outputFolder_);
    jobs_.AppendJobs({job});
    queue_->jobsAdded();
}

void WatchRun::jobEnded(const std::string& source, bool finished, const std::string& output, const std::string& reason)
{
    const auto found = taken_.find(source);
    if (found == taken_.end())
        return;
    const Taken taken = found->second;
    taken_.erase(found);
    // A job stopped with the watch did not fail: the next watch converts its file. Nor did one
    // whose source went away with its folder (a disk pulled, a share unmounted): it is
    // converted when it is back.
    if (!finished && ((queue_ && queue_->stopping()) || !fileStatus(source, FinalLink::Examined).exists()))
        return;
    if (finished)
        failedThisRun_.erase(source);
    else
        failedThisRun_.insert(source);
    keep(taken, source, {taken.key, taken.inode, finished, output, reason});
    consider(*taken.root, source, Cause::Changed);
}

void WatchRun::keep(const Taken& taken, const std::string& source, const WatchedFileResult& result)
{
    try {
        taken.root->record->keep(taken.root->tree->relative(source), result);
    } catch (const Error& error) {
        warn(std::string("the watch record cannot be written: ") + error.what() +
             "; a restart would convert this file again");
    }
}

void WatchRun::handle(const std::vector<FolderEvent>& events)
{
    for (const FolderEvent& event : events) {
        if (event.kind == FolderEvent::Kind::Overflow) {
            // Notices were lost: only a look at everything can tell what they said.
            QMetaObject::invokeMethod(&rescanTimer_, [this] { rescan(); }, Qt::QueuedConnection);
            continue;
        }
        for (Root& root : roots_) {
            const std::string folder = root.tree->folderOf(event.watch);
            if (!folder.empty()) {
                handle(root, folder, event);
                break;
            }
        }
    }
}

void WatchRun::handle(Root& root, const std::string& folder, const FolderEvent& event)
{
    const std::string path = folder + "/" + event.name;
    switch (event.kind) {
    case FolderEvent::Kind::FileWritten:
    case FolderEvent::Kind::FileMovedIn:
        consider(root, path, Cause::Changed);
        break;
    case FolderEvent::Kind::FolderArrived:
        if (event.name.front() != '.')
            root.tree->walk(path);
        break;
    case FolderEvent::Kind::FolderLeft:
        root.tree->forget(path);
        break;
    case FolderEvent::Kind::FolderGone:
        if (root.tree->ended(event.watch))
            lookAt(root, mountPoints());
        break;
    case FolderEvent::Kind::Overflow:
        break;
    }
}

void WatchRun::rescan()
{
    if (stopping_)
        return;
    const std::vector<std::string> mounts = mountPoints();
    for (Root& root : roots_)
        lookAt(root, mounts);
}

// Watches a watched folder that is there, again from the start when it is another folder than
// before; one that is away is said so once and its watches let go. Its record stays as it is.
void WatchRun::lookAt(Root& root, const std::vector<std::string>& mounts)
{
    const FolderPresence::Look look = root.presence.look(mounts);
    if (look.state != FolderPresence::State::There) {
        leave(root, look);
        return;
    }
    if (std::exchange(root.away, false)) {
        warn(root.tree->root() + " is there again and watched");
        report_->folderBack(root.tree->root());
    }
    if (look.renewed)
        root.tree->forget(root.tree->root());
    walk(root);
}

void WatchRun::leave(Root& root, const FolderPresence::Look& look)
{
    if (std::exchange(root.away, true))
        return;
    root.tree->forget(root.tree->root());
    const std::string reason = absenceReason(look);
    warn(root.tree->root() + " is " + reason + "; it is looked for again every " +
         secondsText(options_.rescanSeconds) + " s, and what was converted from it is kept");
    report_->folderAway(root.tree->root(), reason);
}

void WatchRun::walk(Root& root)
{
    if (!root.tree->walk(root.tree->root()) && !std::exchange(root.partsWarned, true))
        warn("some folders under " + root.tree->root() + " cannot be watched for changes (" +
             std::strerror(events_.error()) + "); they are looked through every " +
             secondsText(options_.rescanSeconds) + " s");
}

WatchRun::Root* WatchRun::rootOf(const std::string& path)
{
    for (Root& root : roots_) {
        if (inside(path, root.tree->root()))
            return &root;
    }
    return nullptr;
}

void WatchRun::warn(const std::string& message)
{
    report_->beforeMessage();
    err_ << "clipforge-batch: " << displayText(message) << std::endl;
}

}  // namespace clipforge
