#include "TextReport.h"

#include "core/DisplayText.h"

#include <ostream>

namespace clipforge {

TextReport::TextReport(std::ostream& out, std::optional<std::size_t> width) : out_(out)
{
    if (width)
        live_.emplace(out, *width);
}

void TextReport::progress(const std::vector<const PooledJob*>& running, int ended, int jobs)
{
    if (!live_)
        return;
    std::vector<RunningJob> shown;
    for (const PooledJob* job : running)
        shown.push_back({job->index(), job->progress()});
    live_->show(liveStatusText(shown, ended, jobs));
}

void TextReport::jobEnded(const PooledJobOutcome& outcome)
{
    if (live_)
        live_->clear();
    out_ << outcome.index << '\t' << (outcome.finished ? "finished" : "failed") << '\t'
         << (outcome.exitCode ? std::to_string(*outcome.exitCode) : "-") << '\t'
         << (outcome.output.empty() ? "-" : displayText(outcome.output)) << std::endl;
}

void TextReport::jobSkipped(int index, const std::string& output)
{
    out_ << index << "\tskipped\t-\t" << displayText(output) << std::endl;
}

void TextReport::runEnded(int jobs, int finished, int, std::optional<int> skipped, bool)
{
    if (live_)
        live_->clear();
    out_ << jobs << " files, finished " << finished << " of " << jobs;
    if (skipped)
        out_ << ", skipped " << *skipped << " finished earlier";
    out_ << std::endl;
}

// The live line is drawn again at the next progress report.
void TextReport::beforeMessage()
{
    if (live_)
        live_->clear();
}

}  // namespace clipforge
