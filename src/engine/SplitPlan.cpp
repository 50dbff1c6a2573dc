#include "engine/SplitPlan.h"

#include "engine/Decimals.h"
#include "engine/StreamExpectation.h"
#include "engine/StreamMapping.h"

#include <algorithm>
#include <cmath>

namespace clipforge {
namespace {

// Tells apart two times on the same clock.
constexpr double Tick = 1e-6;

SplitPlan whole(std::string why)
{
    SplitPlan plan;
    plan.why = std::move(why);
    return plan;
}

// Why a filter graph's filters cannot run piece by piece; empty when they can.
std::string filterRefusal(const std::string& graph)
{
    for (const std::string& filter : filterNames(graph)) {
        if (filter == "fps" || filter == "framerate" || filter == "minterpolate")
            return "the profile's " + filter + " filter sets a frame rate";
        if (filter == "palettegen" || filter == "reverse")
            return "the profile's " + filter + " filter needs the whole film";
    }
    return {};
}

std::string optionRefusal(const std::string& name, const std::string& value)
{
    if (name == "-vn")
        return "the profile converts no pictures";
    if (name == "-r" || name.starts_with("-r:") || name == "-target")
        return "the profile sets a frame rate (" + name + ")";
    if (name == "-filter_complex" || name == "-lavfi")
        return "the profile's pictures go through a filter graph (" + name + ")";
    if (isFilterOption(name))
        return filterRefusal(value);
    return {};
}

// A frame rate as the converter takes it: "25", "29.97" or "30000/1001"; none when unusable.
std::optional<double> rate(const std::string& text)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return decimalValue(text);
    const std::optional<double> over = decimalValue(std::string_view(text).substr(slash + 1));
    const std::optional<double> frames = decimalValue(std::string_view(text).substr(0, slash));
    if (!frames || !over || *over == 0)
        return std::nullopt;
    return *frames / *over;
}

std::optional<double> fpsMax(const std::vector<std::string>& params)
{
    std::optional<double> limit;
    for (std::size_t i = 0; i + 1 < params.size(); ++i) {
        if (params[i] == "-fpsmax" || params[i].starts_with("-fpsmax:"))
            limit = rate(params[i + 1]);
    }
    return limit;
}

// Why this source's pictures cannot be cut exactly at their key frames; empty when they can.
std::string sourceRefusal(const StreamPackets& pictures, const std::vector<std::string>& params)
{
    if (!pictures.frameSpacing || *pictures.frameSpacing <= 0 || pictures.keyFrames.empty() || !pictures.start)
        return "the source's pictures carry no times to cut at";
    if (pictures.spacingVaries)
        return "the source's frame rate varies";
    const double rate = 1.0 / *pictures.frameSpacing;
    if (const auto limit = fpsMax(params); limit && *limit > 0 && rate > *limit * 1.001)
        return "the source's " + decimalText(rate, 1) + " frames a second are above the profile's -fpsmax";
    if (pictures.edited)
        return "the source's edit list does more than shift its start";
    return {};
}

// Key frames near equal shares of the pictures' time, each later than the one before.
std::vector<double> cutKeys(const StreamPackets& pictures, int parts)
{
    const double start = *pictures.start;
    const double length = pictures.playingTime();
    std::vector<double> keys = pictures.keyFrames;
    std::sort(keys.begin(), keys.end());
    std::vector<double> chosen;
    for (int i = 1; i < parts; ++i) {
        const double wanted = start + length * i / parts;
        const double after = chosen.empty() ? start : chosen.back();
        std::optional<double> best;
        for (const double key : keys) {
            if (key > after + Tick && key < start + length - Tick &&
                (!best || std::abs(key - wanted) < std::abs(*best - wanted)))
                best = key;
        }
        if (best)
            chosen.push_back(*best);
    }
    return chosen;
}

// Where a whole conversion puts a picture of time t: the encoder counts in frames from the
// clock's start, so a source whose pictures lie between those steps has them rounded onto them.
double onFrameSteps(double t, double origin, double frame)
{
    return std::nearbyint((t - origin) / frame) * frame;
}

// Cut at keys, on the converter's clock, which starts at origin.
std::vector<SplitPart> partsAt(const std::vector<double>& keys, const StreamPackets& pictures, double origin)
{
    const double frame = *pictures.frameSpacing;
    const double half = frame / 2;
    const double end = *pictures.start + pictures.playingTime();
    std::vector<SplitPart> parts;
    for (std::size_t i = 0; i <= keys.size(); ++i) {
        SplitPart part;
        const double first = i == 0 ? *pictures.start : keys[i - 1];
        const double next = i < keys.size() ? keys[i] : end;
        if (i > 0) {
            part.seek = first - origin - half;
            part.shift = half;
        }
        if (i < keys.size()) {
            part.length = i == 0 ? next - origin - half : next - first - half;
            // The first part keeps its own times; each later one starts where the whole
            // conversion has its key frame.
            const double from = i == 0 ? 0.0 : onFrameSteps(first, origin, frame);
            part.joinedLength = onFrameSteps(next, origin, frame) - from;
        }
        part.seconds = next - first;
        parts.push_back(part);
    }
    return parts;
}

}  // namespace

std::string profileSplitRefusal(const std::vector<std::string>& params)
{
    for (std::size_t i = 0; i < params.size(); ++i) {
        const std::string value = i + 1 < params.size() ? params[i + 1] : std::string();
        if (std::string why = optionRefusal(params[i], value); !why.empty())
            return why;
    }
    const StreamExpectation expected = expectStreams(params, {}, {});
    if (expected.copies)
        return "the profile copies streams";
    if (!expected.timeArgument.empty())
        return "the profile changes the playing time (" + expected.timeArgument + ")";
    return {};
}

SplitPlan planSplit(const std::vector<std::string>& params, const MediaPackets& source, const SplitOptions& options)
{
    if (std::string why = profileSplitRefusal(params); !why.empty())
        return whole(why);
    if (options.parts < 2)
        return whole("there is one worker");
    if (!source.readable())
        return whole("the source's packets could not be read (" + source.error + ")");
    SplitPlan plan;
    const StreamPackets* pictures = nullptr;
    for (const std::size_t index : expectStreams(params, source, {}).sources) {
        const StreamPackets& stream = source.streams[index];
        if (stream.kind == StreamKind::Video && !pictures)
            pictures = &stream;
        if (stream.kind == StreamKind::Sound && !plan.sound) {
            plan.sound = true;
            plan.soundSeconds = stream.playingTime();
        }
    }
    if (!pictures)
        return whole("the source has no moving pictures the profile keeps");
    if (std::string why = sourceRefusal(*pictures, params); !why.empty())
        return whole(why);
    const double length = pictures->playingTime();
    if (length < options.minimumSeconds)
        return whole("the source plays " + decimalText(length, 1) + " s, less than the " +
                     decimalText(options.minimumSeconds, 1) + " s a split needs");
    const int wanted = std::min(options.parts, static_cast<int>(length / (options.minimumSeconds / 2)));
    const std::vector<double> keys = cutKeys(*pictures, wanted);
    if (keys.empty())
        return whole("no key frame falls where a part could begin");
    const double origin = source.start.value_or(source.earliestStart().value_or(0.0));
    plan.cuts = partsAt(keys, *pictures, origin);
    plan.parts = static_cast<int>(plan.cuts.size());
    plan.pictureStart = *pictures->start - origin;
    return plan;
}

}  // namespace clipforge
