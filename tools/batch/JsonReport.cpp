#include "JsonReport.h"

#include "JsonLine.h"

#include <QDateTime>

#include <ostream>

namespace clipforge {
namespace {

std::optional<std::string> unlessEmpty(const std::string& text)
{
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

JsonLine checkObject(const CheckResult& check)
{
    JsonLine object;
    object.text("mode", checkModeName(check.mode)).text("result", verdictName(check.verdict));
    std::vector<JsonLine> streams;
    for (const CheckedStream& stream : check.streams) {
        streams.push_back(JsonLine()
                              .text("type", stream.kind == StreamKind::Video ? "video" : "sound")
                              .number("source_s", stream.sourceSeconds)
                              .number("output_s", stream.outputSeconds));
    }
    if (!streams.empty())
        object.objects("streams", streams);
    if (!check.reason.empty())
        object.text("reason", check.reason);
    if (!check.note.empty())
        object.text("note", check.note);
    return object;
}

// Whether a job was split: its parts, or 1 and why it runs whole.
void addSplit(JsonLine& line, const std::optional<SplitPlan>& split)
{
    if (!split)
        return;
    JsonLine object;
    object.integer("parts", split->parts);
    if (!split->splits())
        object.text("why", split->why);
    line.object("split", object);
}

// When a watch event happened, in UTC to the millisecond: a watch runs for days.
std::string now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
}

}  // namespace

void JsonReport::write(const JsonLine& line)
{
    out_ << line.str() << std::endl;
}

void JsonReport::runStarted(int jobs, int parallel, bool confined)
{
    write(JsonLine()
              .text("event", "run-started")
              .integer("jobs", jobs)
              .integer("parallel", parallel)
              .flag("confined", confined));
}

void JsonReport::jobStarted(const PooledJob& job)
{
    JsonLine line;
    line.text("event", "job-started")
        .integer("index", job.index())
        .text("source", job.source())
        .textOrNull("output", unlessEmpty(job.output()));
    addSplit(line, job.split());
    write(line);
}

void JsonReport::progress(const std::vector<const PooledJob*>& running, int, int)
{
    for (const PooledJob* job : running) {
        const JobProgress progress = job->progress();
        write(JsonLine()
                  .text("event", "progress")
                  .integer("index", job->index())
                  .integerOrNull("percent", progress.percent)
                  .number("speed", progress.speed)
                  .number("elapsed", progress.elapsedSeconds)
                  .number("left", progress.secondsLeft)
                  .number("position", progress.positionSeconds)
                  .number("duration", progress.durationSeconds));
    }
}

JsonLine jobEndedLine(const PooledJobOutcome& outcome)
{
    JsonLine line;
    line.text("event", "job-ended")
        .integer("index", outcome.index)
        .text("state", outcome.finished ? "finished" : "failed")
        .integerOrNull("exit_code", outcome.exitCode ? std::optional<long long>(*outcome.exitCode) : std::nullopt)
        .textOrNull("output", unlessEmpty(outcome.output))
        .textOrNull("reason", unlessEmpty(outcome.reason));
    if (outcome.check)
        line.object("check", checkObject(*outcome.check));
    addSplit(line, outcome.split);
    return line;
}

void JsonReport::jobEnded(const PooledJobOutcome& outcome)
{
    write(jobEndedLine(outcome));
}

void JsonReport::jobSkipped(int index, const std::string& output)
{
    write(JsonLine().text("event", "job-skipped").integer("index", index).text("output", output));
}

void JsonReport::runEnded(int jobs, int finished, int failed, std::optional<int> skipped, bool stopped)
{
    JsonLine line;
    line.text("event", "run-ended").integer("jobs", jobs).integer("finished", finished).integer("failed", failed);
    if (skipped)
        line.integer("skipped", *skipped);
    write(line.flag("stopped", stopped));
}

void JsonReport::watchStarted(const WatchSettings& settings)
{
    write(JsonLine()
              .text("event", "watch-started")
              .text("time", now())
              .texts("folders", settings.folders)
              .text("output_folder", settings.outputFolder)
              .integer("profile", settings.profile)
              .integer("parallel", settings.parallel)
              .number("settle", settings.settleSeconds)
              .number("rescan", settings.rescanSeconds));
}

void JsonReport::fileSeen(const std::string& source, std::uint64_t size)
{
    write(JsonLine()
              .text("event", "file-seen")
              .text("time", now())
              .text("source", source)
              .integer("size", static_cast<long long>(size)));
}

void JsonReport::fileWaiting(const std::string& source, const std::string& reason)
{
    write(JsonLine().text("event", "file-waiting").text("time", now()).text("source", source).text("reason", reason));
}

void JsonReport::folderAway(const std::string& folder, const std::string& reason)
{
    write(JsonLine().text("event", "folder-away").text("time", now()).text("folder", folder).text("reason", reason));
}

void JsonReport::folderBack(const std::string& folder)
{
    write(JsonLine().text("event", "folder-back").text("time", now()).text("folder", folder));
}

}  // namespace clipforge
