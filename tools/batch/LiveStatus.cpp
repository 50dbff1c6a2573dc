#include "LiveStatus.h"

#include "engine/ProgressText.h"

#include <cmath>
#include <ostream>

namespace clipforge {
namespace {

std::string jobText(const RunningJob& job)
{
    const JobProgress& progress = job.progress;
    std::string text = "job " + std::to_string(job.index) + ": ";
    const std::string speed = speedText(progress);
    if (!progress.percent)
        return text + durationText(progress.elapsedSeconds) + " elapsed" + (speed.empty() ? "" : " " + speed);
    text += std::to_string(*progress.percent) + "%";
    if (!speed.empty())
        text += " " + speed;
    if (progress.secondsLeft)
        text += " " + durationText(std::ceil(*progress.secondsLeft)) + " left";
    return text;
}

}  // namespace

std::string liveStatusText(const std::vector<RunningJob>& running, int done, int total)
{
    std::string text = std::to_string(done) + " of " + std::to_string(total) + " done";
    for (const RunningJob& job : running)
        text += " | " + jobText(job);
    return text;
}

LiveStatus::LiveStatus(std::ostream& out, std::size_t width) : out_(out), width_(width) {}

void LiveStatus::show(std::string text)
{
    // The last column stays free: some terminals wrap as soon as it is written.
    if (width_ > 1 && text.size() > width_ - 1)
        text.resize(width_ - 1);
    const std::size_t length = text.size();
    if (length < shown_)
        text.append(shown_ - length, ' ');
    out_ << '\r' << text;
    if (text.size() > length)
        out_ << '\r' << text.substr(0, length);
    out_.flush();
    shown_ = length;
}

void LiveStatus::clear()
{
    if (shown_ == 0)
        return;
    out_ << '\r' << std::string(shown_, ' ') << '\r';
    out_.flush();
    shown_ = 0;
}

}  // namespace clipforge
