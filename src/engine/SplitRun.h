#pragma once

#include "engine/JobOutcome.h"
#include "engine/ProgressReader.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace clipforge {

class TaskWorkers;

// One converter run of a split job: a part's pictures or the job's sound.
struct SplitTask {
    std::string commandLine;
    std::string output;       // the file it writes
    double seconds = 0;       // how much of the film it converts: the longest start first
    bool pictures = true;     // a picture part counts towards the job's progress; the sound does not
};

// Runs a split job's tasks on shared workers, each converter confined to the folder that holds
// the parts, and tells once when all have ended: finished when every task finished, otherwise
// with the first failed task's reason (the others are stopped then), or "stopped".
class SplitRun {
public:
    using Ended = std::function<void(const JobOutcome&)>;

    SplitRun(TaskWorkers& workers, std::string folder, std::vector<SplitTask> tasks, Ended ended);
    // Kills the running converters and withdraws the waiting tasks; nothing is told.
    ~SplitRun();
    SplitRun(const SplitRun&) = delete;
    SplitRun& operator=(const SplitRun&) = delete;

    void start();
    void stop();
    // How far the picture parts have got, together, as one job's progress.
    JobProgress progress() const;

private:
    struct Running;

    void startTask(std::size_t index);
    void taskEnded(std::size_t index, const JobOutcome& outcome);
    void failWith(const std::string& reason);
    void endIfDone();

    TaskWorkers& workers_;
    std::string folder_;
    std::vector<SplitTask> tasks_;
    std::vector<std::unique_ptr<Running>> running_;  // one per task, made when it starts
    Ended ended_;
    std::size_t done_ = 0;
    std::size_t started_ = 0;
    bool stopping_ = false;
    bool told_ = false;
    std::string failure_;
    std::chrono::steady_clock::time_point begun_;
    QObject context_;  // queued notifications die with the run
};

}  // namespace clipforge
