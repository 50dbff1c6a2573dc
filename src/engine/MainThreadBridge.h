#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace clipforge {

// Carries work from a runner's worker to the main thread's event loop. The
// worker may wait for its work to be done; cutting the bridge (the runner is
// being destroyed) releases every waiting worker and turns all later work into
// no-ops, so nothing reaches a destroyed runner. Shared by the runner and its
// workers through a shared_ptr; cut() belongs to the main thread.
class MainThreadBridge : public std::enable_shared_from_this<MainThreadBridge> {
public:
    // Runs task on the main thread and waits until it has run. False when the
    // bridge was cut before the task could run or finish.
    bool call(std::function<void()> task);
    // Queues task for the main thread without waiting.
    void post(std::function<void()> task);

    void cut();
    bool isCut() const;

private:
    struct Call;
    bool enqueue(std::function<void()> task);

    mutable std::mutex mutex_;
    std::condition_variable finished_;
    std::atomic<bool> cut_{false};
};

}  // namespace clipforge
