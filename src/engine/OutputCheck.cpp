#include "engine/OutputCheck.h"

#include "engine/CommandLineSplitter.h"
#include "engine/Decimals.h"

#include <algorithm>
#include <cmath>

namespace clipforge {
namespace {

// Besides one frame or sound packet of either file: what no player would notice, and what a
// converter's rounding of the first and last time stamps gives.
constexpr double BaseTolerance = 0.1;

std::string kindWord(StreamKind kind) { return kind == StreamKind::Video ? "video" : "sound"; }

double cut(double seconds, const StreamExpectation& expected)
{
    const double kept = std::max(0.0, seconds - expected.cutFrom);
    return expected.limit ? std::min(kept, *expected.limit) : kept;
}

// The output streams that can stand for expected ones, kind by kind in the output's order.
std::vector<const StreamPackets*> ofKind(const MediaPackets& file, StreamKind kind)
{
    std::vector<const StreamPackets*> found;
    for (const StreamPackets& stream : file.streams) {
        if (stream.kind == kind && !stream.attachedPicture && stream.packets > 0)
            found.push_back(&stream);
    }
    return found;
}

double relativeStart(const StreamPackets& stream, const MediaPackets& file)
{
    return stream.start.value_or(0.0) - file.earliestStart().value_or(0.0);
}

// Why output fails to stand for source; empty when it does.
std::string compare(const StreamExpectation& expected, const StreamPackets& source, const MediaPackets& sourceFile,
                    const StreamPackets& output, const MediaPackets& outputFile)
{
    const std::string kind = kindWord(source.kind);
    const double tolerance = BaseTolerance + source.packetDuration() + output.packetDuration();
    const double wanted = cut(source.playingTime(), expected);
    const double spanOff = std::abs(output.span().value_or(0.0) - cut(source.span().value_or(0.0), expected));
    const double sumOff = std::abs(output.sum.value_or(0.0) - cut(source.sum.value_or(0.0), expected));
    if (spanOff > tolerance && sumOff > tolerance) {
        const double plays = output.playingTime();
        return "the output's " + kind + " plays " + decimalText(plays, 1) + " s" + (plays < wanted ? " of" : ",") +
               " the source's " + decimalText(wanted, 1) + " s";
    }
    const double late = relativeStart(output, outputFile) - relativeStart(source, sourceFile);
    if (expected.cutFrom == 0.0 && late > tolerance)
        return "the output's " + kind + " starts " + decimalText(late, 1) + " s after the source's";
    return {};
}

void addReason(std::string& reasons, const std::string& reason)
{
    if (!reason.empty())
        reasons += (reasons.empty() ? "" : "; ") + reason;
}

}  // namespace

std::optional<CheckMode> checkModeNamed(const std::string& word)
{
    for (const CheckMode mode : {CheckMode::Streams, CheckMode::Full, CheckMode::Warn, CheckMode::Off}) {
        if (checkModeName(mode) == word)
            return mode;
    }
    return std::nullopt;
}

std::string checkModeName(CheckMode mode)
{
    switch (mode) {
    case CheckMode::Streams: return "streams";
    case CheckMode::Full: return "full";
    case CheckMode::Warn: return "warn";
    default: return "off";
    }
}

std::string verdictName(CheckResult::Verdict verdict)
{
    switch (verdict) {
    case CheckResult::Verdict::Passed: return "passed";
    case CheckResult::Verdict::Failed: return "failed";
    case CheckResult::Verdict::Warned: return "warned";
    default: return "off";
    }
}

CheckResult checkOutput(const StreamExpectation& expected, const MediaPackets& source, const MediaPackets& output)
{
    CheckResult result;
    result.mode = CheckMode::Streams;
    result.verdict = CheckResult::Verdict::Passed;
    result.note = expected.note;
    if (!source.readable()) {
        result.note = "the source's packets could not be read (" + source.error + "): nothing was compared";
        return result;
    }
    if (!output.readable()) {
        result.verdict = CheckResult::Verdict::Failed;
        result.reason = "the output cannot be read: " + output.error;
        return result;
    }
    std::string reasons;
    // Video first, whatever order the streams have in the files.
    for (const StreamKind kind : {StreamKind::Video, StreamKind::Sound}) {
        const std::vector<const StreamPackets*> candidates = ofKind(output, kind);
        std::size_t next = 0;
        for (const std::size_t index : expected.sources) {
            const StreamPackets& wanted = source.streams[index];
            if (wanted.kind != kind)
                continue;
            CheckedStream checked{kind, cut(wanted.playingTime(), expected), std::nullopt};
            if (next >= candidates.size()) {
                addReason(reasons, "the output has no " + kindWord(kind) + ", though the source has and the profile keeps it");
            } else {
                const StreamPackets& found = *candidates[next++];
                checked.outputSeconds = found.playingTime();
                if (!expected.presenceOnly)
                    addReason(reasons, compare(expected, wanted, source, found, output));
            }
            result.streams.push_back(checked);
        }
    }
    if (!reasons.empty()) {
        result.verdict = CheckResult::Verdict::Failed;
        result.reason = reasons;
    }
    return result;
}

CheckResult underMode(CheckResult result, CheckMode mode)
{
    result.mode = mode;
    if (mode == CheckMode::Off)
        result.verdict = CheckResult::Verdict::Off;
    else if (mode == CheckMode::Warn && result.failed())
        result.verdict = CheckResult::Verdict::Warned;
    return result;
}

std::string decodeCommandLine(const std::string& converter, const std::string& file, DecodeErrors errors)
{
    // "file:" keeps a name that begins with a dash or names a protocol from being read as one.
    return quoteArgument(converter) + " -nostdin -v error" + (errors == DecodeErrors::End ? " -xerror" : "") +
           " -i " + quoteArgument("file:" + file) + " -map 0:v? -map 0:a? -f null -";
}

std::string decodeErrorText(std::string line)
{
    if (line.starts_with("[null @ "))
        return {};
    const std::size_t at = line.find(" @ 0x");
    const std::size_t close = line.find(']', at);
    if (line.starts_with('[') && at != std::string::npos && close != std::string::npos)
        line.erase(at, close - at);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    return line;
}

}  // namespace clipforge
