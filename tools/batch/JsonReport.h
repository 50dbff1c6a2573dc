#pragma once

#include "BatchReport.h"

#include <iosfwd>

namespace clipforge {

class JsonLine;

// The fields of a "job-ended" event, which the joblog extends with its own.
JsonLine jobEndedLine(const PooledJobOutcome& outcome);

// The batch run as JSON Lines, one object per event; the README lists the fields.
class JsonReport : public BatchReport {
public:
    explicit JsonReport(std::ostream& out) : out_(out) {}

    void runStarted(int jobs, int parallel, bool confined) override;
    void jobStarted(const PooledJob& job) override;
    void progress(const std::vector<const PooledJob*>& running, int ended, int jobs) override;
    void jobEnded(const PooledJobOutcome& outcome) override;
    void jobSkipped(int index, const std::string& output) override;
    void runEnded(int jobs, int finished, int failed, std::optional<int> skipped, bool stopped) override;
    void watchStarted(const WatchSettings& settings) override;
    void fileSeen(const std::string& source, std::uint64_t size) override;
    void fileWaiting(const std::string& source, const std::string& reason) override;
    void folderAway(const std::string& folder, const std::string& reason) override;
    void folderBack(const std::string& folder) override;

private:
    void write(const class JsonLine& line);

    std::ostream& out_;
};

}  // namespace clipforge
