#pragma once

#include <functional>

namespace clipforge {

// Workers for the tasks a job hands out besides its own converter (a split job's parts and its
// sound), shared with the other jobs of a run, so that N workers run N converters in all.
class TaskWorkers {
public:
    virtual ~TaskWorkers() = default;
    // Queues a task of owner's; start runs on this thread once a worker is free for it, the
    // longest waiting task (seconds) first. It may run before queue returns.
    virtual void queue(const void* owner, double seconds, std::function<void()> start) = 0;
    // One of owner's started tasks has ended: its worker is free again.
    virtual void ended(const void* owner) = 0;
    // Forgets owner's tasks: those not yet started never start, and those running hold no worker.
    virtual void withdraw(const void* owner) = 0;
};

// Starts every task at once: for a driver of its own, whose parts were counted to its workers.
class EveryTaskAtOnce : public TaskWorkers {
public:
    void queue(const void*, double, std::function<void()> start) override { start(); }
    void ended(const void*) override {}
    void withdraw(const void*) override {}
};

}  // namespace clipforge
