#include "engine/MainThreadBridge.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace clipforge {

struct MainThreadBridge::Call {
    bool done = false;
};

void MainThreadBridge::enqueue(std::function<void()> task)
{
    // Queued while holding the lock, so cut() cannot slip in between the check
    // and the post and the application object is known to be alive.
    std::lock_guard lock(mutex_);
    if (cut_)
        return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self = shared_from_this(), task = std::move(task)] {
            if (!self->isCut())
                task();
        },
        Qt::QueuedConnection);
}

bool MainThreadBridge::call(std::function<void()> task)
{
    auto call = std::make_shared<Call>();
    enqueue([this, call, task = std::move(task)] {
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
