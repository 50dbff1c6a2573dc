#include "app/KeptQueue.h"

#include "app/MainDlg.h"
#include "app/UIHook.h"
#include "core/FileSystem.h"
#include "core/KeptQueueFile.h"
#include "core/LocalText.h"
#include "core/QueueKeeper.h"
#include "dialogs/DialogService.h"

#include <QTimer>

#include <cerrno>
#include <cstring>
#include <utility>

namespace clipforge {

QString restoreQuestion(int jobs)
{
    return jobs == 1 ? QStringLiteral("The last session left 1 unfinished job. Restore it?")
                     : QStringLiteral("The last session left %1 unfinished jobs. Restore them?").arg(jobs);
}

KeptQueue::KeptQueue(TmainDlg& window, QueueStateFiles files) : window_(window)
{
    TUIHook* hook = window.hook();
    if (!hook)
        return;
    keeper_ = std::make_unique<QueueKeeper>(*hook->TreeManager(), std::move(files));
    if (!keeper_->keeping())
        return;
    keeper_->onWriteFailed = [this](const std::string& error) {
        warn(QStringLiteral("Your queue cannot be kept for the next session:\n%1").arg(widen(error)));
    };
    // Asked over the shown window, once its event loop runs.
    settled_ = false;
    QTimer::singleShot(0, keeper_.get(), [this] { offerRestore(); });
}

void KeptQueue::whenSettled(std::function<void()> next)
{
    if (settled_)
        next();
    else
        next_ = std::move(next);
}

KeptQueue::~KeptQueue() = default;

void KeptQueue::offerRestore()
{
    const std::string path = keeper_->files().queue();
    const KeptQueueContents kept = readKeptQueue(path);
    if (!kept.error.empty() && !setAsideBroken(kept.error))
        return settle();
    const bool restore = kept.error.empty() && kept.jobs > 0 && askAndRestore(kept.jobs);
    // A program told to end while it asked has had no answer: the file stays for the next start.
    if (!window_.isVisible())
        return settle();
    if (restore)
        window_.hook()->importList(widen(path));
    else if (kept.error.empty() && kept.present && !removeFile(path))
        warn(QStringLiteral("The kept queue %1 cannot be removed: %2").arg(widen(path), widen(std::strerror(errno))));
    keeper_->begin();
    settle();
}

void KeptQueue::settle()
{
    settled_ = true;
    if (next_)
        std::exchange(next_, nullptr)();
}

bool KeptQueue::askAndRestore(int jobs)
{
    return DialogService::instance().question(&window_, restoreQuestion(jobs), DialogService::Preferred::Yes);
}

// A file that does not read is the user's only copy of the queue: it is moved aside and named,
// never removed. Where it cannot be moved, nothing is kept in this session, so nothing replaces it.
bool KeptQueue::setAsideBroken(const std::string& error)
{
    const QString problem = QStringLiteral("The queue kept from the last session cannot be read:\n%1\n").arg(widen(error));
    try {
        const std::string aside = setAside(keeper_->files().queue());
        warn(problem + QStringLiteral("It was set aside as %1.").arg(widen(aside)));
        return true;
    } catch (const std::exception& failure) {
        warn(problem + QStringLiteral("It cannot be set aside either (%1), so this session's queue will not be kept.")
                           .arg(widen(failure.what())));
        return false;
    }
}

void KeptQueue::warn(const QString& text)
{
    DialogService::instance().message(&window_, text, QMessageBox::Warning);
}

}  // namespace clipforge
