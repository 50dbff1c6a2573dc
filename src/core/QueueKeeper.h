#pragma once

#include "core/QueueStateWriter.h"
#include "core/TreeManager.h"
#include "core/UserStateFolder.h"
#include "core/WriterLock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace clipforge {

// Keeps the unfinished jobs of a job list (waiting, converting, failed) in a list file, so that a
// queue outlives a crash, an update or a restart. The file is rewritten whole after every change
// of the list, on a thread of its own and at most a few times a second, except that a job that
// finishes is written at once: it must not come back. Without unfinished jobs the file goes.
//
// Only the instance that holds the per-user lock beside the file writes it; the lock goes with
// the process, however it ends.
class QueueKeeper : public QObject {
public:
    static constexpr int DefaultIntervalMs = 250;

    // Takes the lock (making the folder when missing) and clears what a writer killed mid-write
    // left there. Writes nothing before begin().
    QueueKeeper(TTreeManager& jobs, QueueStateFiles files, int intervalMs = DefaultIntervalMs);
    // Writes the last change before it goes: a clean end keeps the unfinished jobs.
    ~QueueKeeper() override;

    // This instance holds the lock: it alone may write, or offer to restore, the kept queue.
    bool keeping() const { return lock_.held(); }
    const QueueStateFiles& files() const { return files_; }

    // Starts following the list; a list that already holds jobs is written soon.
    void begin();
    // Writes any change not yet on the disk and waits until it is.
    void flush();

    // On the list's thread, when writing the file failed, with why; once until a write succeeds.
    std::function<void(const std::string& error)> onWriteFailed;

private:
    struct Mark {
        bool unfinished = false;
        std::int32_t format = -1;
        QString path;
    };

    void watch();
    void listChanged();
    void jobsChanged(int first, int last);
    void schedule(bool atOnce);
    void writeNow();
    void written(const std::string& error);

    QPointer<TTreeManager> jobs_;
    QueueStateFiles files_;
    WriterLock lock_;
    std::unique_ptr<QueueStateWriter> writer_;
    QTimer delay_;
    QElapsedTimer sinceWrite_;
    int intervalMs_;
    // What each row was when the file was last handed over; compared while nothing is pending.
    std::vector<Mark> marks_;
    bool following_ = false;
    bool pending_ = false;
    bool atOnce_ = false;
    bool failing_ = false;
};

}  // namespace clipforge
