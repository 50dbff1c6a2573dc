#include "engine/MainThreadBridge.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace clipforge {

struct MainThreadBridge::Call {
    bool done = false;
};

bool MainThreadBridge::enqueue(std::function<void()> task)
{
    // Queued while holding the lock, so cut() cannot slip in between the check
    // and the post. Without an application there is no main loop to run it.
    std::lock_guard lock(mutex_);
    if (cut_ || !QCoreApplication::instance())
        return false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self = shared_from_this(), task = std::move(task)] {
            if (!self->isCut())
                task();
        },
        Qt::QueuedConnection);
    return true;
}

bool MainThreadBridge::call(std::function<void()> task)
{
    auto call = std::make_shared<Call>();
    const bool queued = enqueue([this, call, task = std::move(task)] {
        // Marked done even when the task throws, or the worker would wait forever.
        struct MarkDone {
            MainThreadBridge* bridge;
            Call* call;
            ~MarkDone()
            {
                std::lock_guard lock(bridge->mutex_);
                call->done = true;
                bridge->finished_.notify_all();
            }
        } markDone{this, call.get()};
        task();
    });
    if (!queued)
        return false;
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return call->done || cut_; });
    return call->done;
}

void MainThreadBridge::post(std::function<void()> task) { enqueue(std::move(task)); }

void MainThreadBridge::cut()
{
    std::lock_guard lock(mutex_);
    cut_.store(true);
    finished_.notify_all();
}

bool MainThreadBridge::isCut() const { return cut_.load(); }

}  // namespace clipforge
