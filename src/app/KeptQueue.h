#pragma once

#include "core/UserStateFolder.h"

#include <QString>

#include <functional>
#include <memory>

class TmainDlg;

namespace clipforge {

class QueueKeeper;

// The window's queue between sessions: keeps the window's unfinished jobs in the user's state
// folder and, once the window shows, offers to bring back what the last session left. An
// instance that finds another one holding the kept queue neither writes it nor offers it.
class KeptQueue {
public:
    explicit KeptQueue(TmainDlg& window, QueueStateFiles files = userQueueStateFiles());
    // Writes the last change: a clean end keeps the unfinished jobs.
    ~KeptQueue();
    KeptQueue(const KeptQueue&) = delete;
    KeptQueue& operator=(const KeptQueue&) = delete;

    // Runs next once the offer is answered (at once when there is none to make), so that nothing
    // else opens over the question.
    void whenSettled(std::function<void()> next);

    // Null when the window has no job list.
    QueueKeeper* keeper() const { return keeper_.get(); }

private:
    void offerRestore();
    void settle();
    bool askAndRestore(int jobs);
    bool setAsideBroken(const std::string& error);
    void warn(const QString& text);

    TmainDlg& window_;
    std::unique_ptr<QueueKeeper> keeper_;
    bool settled_ = true;
    std::function<void()> next_;
};

// "The last session left N unfinished jobs. Restore them?"
QString restoreQuestion(int jobs);

}  // namespace clipforge
