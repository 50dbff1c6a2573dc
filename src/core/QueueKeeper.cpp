#include "core/QueueKeeper.h"

#include "core/FileSystem.h"
#include "core/Paths.h"

namespace clipforge {
namespace {

// Temporary files of a save are named after their target with a "." in front.
void removeTemporaryFiles(const QueueStateFiles& files)
{
    const std::string prefix = "." + fileNamePart(files.queue()) + ".";
    for (const FolderEntry& entry : folderEntries(files.folder).value_or(std::vector<FolderEntry>())) {
        if (entry.name.starts_with(prefix))
            removeFile(files.folder + entry.name);
    }
}

}  // namespace

QueueKeeper::QueueKeeper(TTreeManager& jobs, QueueStateFiles files, int intervalMs)
    : jobs_(&jobs), files_(std::move(files)), intervalMs_(intervalMs)
{
    if (makePrivateFolders(files_.folder))
        lock_ = WriterLock::tryLock(files_.lock());
    if (!keeping())
        return;
    // Only the holder of the lock writes here, so whatever is left is a dead writer's.
    removeTemporaryFiles(files_);
    writer_ = std::make_unique<QueueStateWriter>(files_.queue(), [this](const std::string& error) {
        QMetaObject::invokeMethod(this, [this, error] { written(error); }, Qt::QueuedConnection);
    });
    delay_.setSingleShot(true);
    connect(&delay_, &QTimer::timeout, this, [this] { writeNow(); });
}

QueueKeeper::~QueueKeeper()
{
    if (following_)
        flush();
    // The writer's thread ends before anything it reports to goes.
    writer_.reset();
}

void QueueKeeper::begin()
{
    if (!keeping() || following_)
        return;
    following_ = true;
    watch();
    // Not before the window's first frames: a list that is there already waits its turn.
    sinceWrite_.start();
    if (jobs_->Count() > 0)
        schedule(false);
}

void QueueKeeper::watch()
{
    connect(jobs_, &QAbstractItemModel::rowsInserted, this, [this] { listChanged(); });
    connect(jobs_, &QAbstractItemModel::rowsRemoved, this, [this] { listChanged(); });
    connect(jobs_, &QAbstractItemModel::rowsMoved, this, [this] { listChanged(); });
    connect(jobs_, &QAbstractItemModel::modelReset, this, [this] { listChanged(); });
    connect(jobs_, &QAbstractItemModel::layoutChanged, this, [this] { listChanged(); });
    connect(jobs_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& top, const QModelIndex& bottom) { jobsChanged(top.row(), bottom.row()); });
}

void QueueKeeper::flush()
{
    if (!following_)
        return;
    if (pending_ || !writer_->idle()) {
        writer_->waitUntilIdle();
        if (pending_)
            writeNow();
        writer_->waitUntilIdle();
    }
}

void QueueKeeper::listChanged()
{
    schedule(false);
}

// Rows repaint every second while a job runs; only a change of what the file holds counts.
void QueueKeeper::jobsChanged(int first, int last)
{
    if (pending_ && atOnce_)
        return;
    bool changed = false;
    for (int row = first; row <= last && row < jobs_->Count(); ++row) {
        if (row < 0 || static_cast<std::size_t>(row) >= marks_.size()) {
            changed = true;
            continue;
        }
        const TItemNodeData& job = jobs_->Job(row);
        const Mark& mark = marks_[static_cast<std::size_t>(row)];
        if (mark.unfinished && job.State == jsFinished) {
            schedule(true);
            return;
        }
        changed = changed || mark.unfinished != (job.State != jsFinished) || mark.format != job.ItemData.Format ||
                  mark.path != job.ItemData.Path;
    }
    if (changed)
        schedule(false);
}

void QueueKeeper::schedule(bool atOnce)
{
    if (!following_)
        return;
    atOnce_ = atOnce_ || atOnce;
    pending_ = true;
    // One write at a time: a change made meanwhile goes out when the current write is done.
    if (!writer_->idle())
        return;
    const qint64 wait = atOnce_ || !sinceWrite_.isValid() ? 0 : intervalMs_ - sinceWrite_.elapsed();
    if (wait <= 0) {
        writeNow();
        return;
    }
    if (!delay_.isActive())
        delay_.start(static_cast<int>(wait));
}

void QueueKeeper::writeNow()
{
    delay_.stop();
    pending_ = false;
    atOnce_ = false;
    // A list that is gone leaves the file as it last was.
    if (!jobs_)
        return;
    const auto count = static_cast<std::size_t>(jobs_->Count());
    std::vector<TItemData> unfinished;
    unfinished.reserve(count);
    marks_.resize(count);
    for (std::size_t row = 0; row < count; ++row) {
        const TItemNodeData& job = jobs_->Job(static_cast<int>(row));
        Mark& mark = marks_[row];
        mark = {job.State != jsFinished, job.ItemData.Format, job.ItemData.Path};
        if (mark.unfinished)
            unfinished.push_back({job.ItemData.FileName, job.ItemData.Format, job.ItemData.Path, false, 0});
    }
    sinceWrite_.start();
    writer_->write(std::move(unfinished));
}

void QueueKeeper::written(const std::string& error)
{
    if (!error.empty() && !failing_ && onWriteFailed)
        onWriteFailed(error);
    failing_ = !error.empty();
    if (pending_)
        schedule(false);
}

}  // namespace clipforge
