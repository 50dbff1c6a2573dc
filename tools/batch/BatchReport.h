#pragma once

#include "engine/PooledJob.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace clipforge {

// What a watch of folders was started with, as its report gives it.
struct WatchSettings {
    std::vector<std::string> folders;
    std::string outputFolder;
    int profile = 0;
    int parallel = 1;
    double settleSeconds = 0;
    double rescanSeconds = 0;
};

// What a batch run tells its user, event by event; TextReport and JsonReport say it.
class BatchReport {
public:
    virtual ~BatchReport() = default;

    // confined: whether the converters can write only into their private folders.
    virtual void runStarted(int jobs, int parallel, bool confined) = 0;
    virtual void jobStarted(const PooledJob& job) = 0;
    // Twice a second while jobs run: the running jobs, and how many have ended.
    virtual void progress(const std::vector<const PooledJob*>& running, int ended, int jobs) = 0;
    virtual void jobEnded(const PooledJobOutcome& outcome) = 0;
    // A job an earlier run finished (--resume), with the output it left; it does not run.
    virtual void jobSkipped(int index, const std::string& output) = 0;
    // skipped: jobs an earlier run finished, not counted in finished; none unless resuming.
    virtual void runEnded(int jobs, int finished, int failed, std::optional<int> skipped, bool stopped) = 0;
    // A message is about to go to standard error, which may share the terminal.
    virtual void beforeMessage() {}

    // A watch began: the folders watched and the settings they are watched with.
    virtual void watchStarted(const WatchSettings&) {}
    // A file of a watched folder will be converted once it has settled.
    virtual void fileSeen(const std::string& /*source*/, std::uint64_t /*size*/) {}
    // A file of a watched folder is not converted yet, and why.
    virtual void fileWaiting(const std::string& /*source*/, const std::string& /*reason*/) {}
    // A watched folder is not watched for now (gone, unmounted, not readable), and why.
    virtual void folderAway(const std::string& /*folder*/, const std::string& /*reason*/) {}
    // A watched folder that was away is there again and watched.
    virtual void folderBack(const std::string& /*folder*/) {}
};

}  // namespace clipforge
