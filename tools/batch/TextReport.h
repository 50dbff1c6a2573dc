#pragma once

#include "BatchReport.h"
#include "LiveStatus.h"

#include <iosfwd>
#include <optional>

namespace clipforge {

// The batch run in plain lines, one per job as it ends and a summary, and, on a terminal, a live
// status line that those lines push down.
class TextReport : public BatchReport {
public:
    // width: the terminal's, for a live line; none when the output is no terminal.
    TextReport(std::ostream& out, std::optional<std::size_t> width);

    void runStarted(int, int, bool) override {}
    void jobStarted(const PooledJob&) override {}
    void progress(const std::vector<const PooledJob*>& running, int ended, int jobs) override;
    void jobEnded(const PooledJobOutcome& outcome) override;
    void jobSkipped(int index, const std::string& output) override;
    void runEnded(int jobs, int finished, int failed, std::optional<int> skipped, bool stopped) override;
    void beforeMessage() override;

private:
    std::ostream& out_;
    std::optional<LiveStatus> live_;
};

}  // namespace clipforge
