#include "engine/ProfileTrial.h"

#include "core/FileSystem.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/SizeText.h"
#include "engine/CommandLineSplitter.h"
#include "engine/ConverterCommand.h"
#include "engine/MainThreadBridge.h"
#include "engine/OutputCheck.h"
#include "engine/PacketReader.h"
#include "engine/StreamMapping.h"

namespace clipforge {
namespace {

constexpr std::size_t KeptLines = 50;

void keep(std::vector<std::string>& lines, const std::string& line)
{
    lines.push_back(line);
    if (lines.size() > KeptLines)
        lines.erase(lines.begin());
}

std::string valueOf(const std::string& line, const std::string& key)
{
    return line.rfind(key + "=", 0) == 0 ? line.substr(key.size() + 1) : std::string();
}

}  // namespace

ProfileTrial::ProfileTrial(std::string programFolder, QObject* parent)
    : QObject(parent)
    , programFolder_(std::move(programFolder))
    , bridge_(std::make_shared<MainThreadBridge>())
    , converter_(std::make_unique<TConsoleRunner>())
    , probe_(std::make_unique<TConsoleRunner>())
{
    converter_->Settings.OnNewLine = [this](TConsoleRunner*, const std::string& line, TOutputType) { keep(converterLines_, line); };
    converter_->Settings.OnTerminated = [this](TConsoleRunner*, std::uint32_t exitCode) { converterEnded(exitCode); };
    probe_->Settings.OnNewLine = [this](TConsoleRunner*, const std::string& line, TOutputType) { keep(probeLines_, line); };
    probe_->Settings.OnTerminated = [this](TConsoleRunner*, std::uint32_t exitCode) { probeEnded(exitCode); };
}

ProfileTrial::~ProfileTrial()
{
    bridge_->cut();
}

void ProfileTrial::start(const std::string& source, const std::string& params, const std::string& ext)
{
    ++trial_;
    source_ = source;
    params_ = params + " -t 5";
    converter_->Stop();
    probe_->Stop();
    converterLines_.clear();
    probeLines_.clear();
    folder_ = std::make_unique<QTemporaryDir>();
    if (!folder_->isValid())
        return done(false, "no temporary folder can be made: " + folder_->errorString().toStdString());
    output_ = narrow(folder_->path()) + "/trial." + ext;
    converter_->Settings.CommandLine =
        converterCommandLine(converterPath(programFolder_), absolutePath(source), params_, output_);
    // A trial is confined like a job: it writes only in its own temporary folder.
    converter_->Settings.WorkingFolder = narrow(folder_->path());
    converter_->Settings.WritableFolder = converter_->Settings.WorkingFolder;
    running_ = true;
    converter_->Execute();
}

void ProfileTrial::converterEnded(std::uint32_t exitCode)
{
    if (converter_->EndStatus() != esEnded)
        return done(false, "the converter did not run to its end (stage " + std::to_string(converter_->EndStatus()) +
                               ", " + converter_->Settings.CommandLine + ")");
    if (exitCode != 0 || fileStatus(output_).size == 0) {
        const std::string reason = failureReason(converterLines_);
        return done(false, reason.empty() ? "the converter ended with code " + std::to_string(exitCode) : reason);
    }
    probe_->Settings.CommandLine = quoteArgument(programFolder_ + "bin/ffprobe") +
                          " -v error -show_entries stream=codec_type,codec_name,width,height -of default=nw=1 " +
                          quoteArgument(output_);
    probe_->Execute();
}

void ProfileTrial::probeEnded(std::uint32_t exitCode)
{
    if (exitCode != 0)
        return done(false, "the output cannot be read: " + failureReason(probeLines_));
    check(describeProbe(probeLines_, fileStatus(output_).size));
}

// Read on the reader's thread; the answer comes back to this one.
void ProfileTrial::check(const std::string& described)
{
    if (!packets_)
        packets_ = std::make_unique<PacketReader>();
    auto source = std::make_shared<MediaPackets>();
    packets_->read(source_, [source](const MediaPackets& read) { *source = read; });
    StreamMapping mapping;
    for (const std::string& line : converterLines_)
        mapping.add(line);
    packets_->read(output_, [this, trial = trial_, source, mapping, params = splitCommandLine(params_), described,
                             bridge = bridge_](const MediaPackets& output) {
        const CheckResult result = checkOutput(expectStreams(params, *source, mapping), *source, output);
        const std::string text = described + "; check: " + (result.failed() ? result.reason : "passed");
        bridge->post([this, trial, text] {
            if (trial == trial_)
                done(true, text);
        });
    });
}

void ProfileTrial::done(bool finished, const std::string& text)
{
    running_ = false;
    if (OnDone)
        OnDone(finished, text);
}

std::string describeProbe(const std::vector<std::string>& lines, std::uint64_t bytes)
{
    std::string text;
    std::string type;
    std::string codec;
    std::string width;
    const auto flush = [&] {
        if (!type.empty())
            text += (text.empty() ? "" : ", ") + type + " " + codec;
        type.clear();
    };
    for (const std::string& line : lines) {
        if (const std::string value = valueOf(line, "codec_name"); !value.empty()) {
            flush();
            codec = value;
        } else if (const std::string value = valueOf(line, "codec_type"); !value.empty()) {
            type = value;
        } else if (const std::string value = valueOf(line, "width"); !value.empty()) {
            width = value;
        } else if (const std::string value = valueOf(line, "height"); !value.empty() && type == "video") {
            codec += " " + width + "x" + value;
        }
    }
    flush();
    return (text.empty() ? "no streams" : text) + "; " + sizeText(static_cast<std::int64_t>(bytes));
}

std::string failureReason(const std::vector<std::string>& lines)
{
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const std::string text = line->substr(0, line->find_last_not_of(" \r\n") + 1);
        if (!text.empty() && text.find_first_not_of(' ') != std::string::npos && text.rfind("Conversion failed!", 0) != 0)
            return text;
    }
    return {};
}

}  // namespace clipforge
