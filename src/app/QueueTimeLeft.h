#pragma once

#include "engine/ProgressReader.h"

#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace clipforge {

// What a run knows of the time its queue takes: how far its running jobs have got, how many of
// its jobs still wait, how long its ended jobs took, and how many jobs it runs at once.
struct QueueTimes {
    std::vector<JobProgress> running;
    int waiting = 0;
    int ended = 0;
    double endedSeconds = 0;  // the ended jobs' times added up
    int workers = 1;
};

// Seconds until the queue is done: each running job's own estimate, and for each waiting job the
// average time a job has taken so far, the work shared among the jobs that run at once. None
// before any job has given a time.
std::optional<double> queueSecondsLeft(const QueueTimes& times);

// "about 00:12:40 left for the queue"; empty while there is nothing to estimate from.
QString queueTimeText(const QueueTimes& times);

// How long the ended jobs of a run took, each from its start to its end.
class JobDurations {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit JobDurations(Clock clock = &std::chrono::steady_clock::now);

    void clear();
    void started(int job);
    // A job never started counts nothing.
    void ended(int job);
    int endedJobs() const { return ended_; }
    double endedSeconds() const { return seconds_; }

private:
    Clock clock_;
    std::map<int, std::chrono::steady_clock::time_point> running_;
    int ended_ = 0;
    double seconds_ = 0;
};

}  // namespace clipforge
