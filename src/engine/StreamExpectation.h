#pragma once

#include "engine/MediaPackets.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clipforge {

class StreamMapping;

// What a finished output must hold, worked out from the source's streams and the profile's
// arguments: which of the source's video and sound streams it keeps, in the output's order, and
// how long each must play.
struct StreamExpectation {
    std::vector<std::size_t> sources;  // indexes into the source's streams
    // Playing time as asked: the first cutFrom seconds left out, at most limit seconds kept.
    double cutFrom = 0.0;
    std::optional<double> limit;
    // The profile changes playing time in a way that cannot be told exactly: only the streams'
    // presence counts, and note says why.
    bool presenceOnly = false;
    std::string note;
    // The profile copies some stream as it is: its decoding errors may be the source's own.
    bool copies = false;
    // The first argument that changes the playing time (-t, -ss, a time filter...); empty when none does.
    std::string timeArgument;
};

// The filters named in a filter graph, in order: the words before "=" of each filter, labels
// and quoted arguments skipped.
std::vector<std::string> filterNames(const std::string& graph);
// Whether an option's value is a filter graph (-vf, -af, -filter..., -filter_complex, -lavfi).
bool isFilterOption(std::string_view name);

// params: the profile's arguments as the converter gets them. mapping: the converter's own
// choice, which only tells which stream of a kind a profile without -map got.
StreamExpectation expectStreams(const std::vector<std::string>& params, const MediaPackets& source,
                                const StreamMapping& mapping);

// "[-][HH:]MM:SS[.m...]" or "[-]S+[.m...][s|ms|us]", in seconds; none when it is neither.
std::optional<double> parseDuration(const std::string& text);

}  // namespace clipforge
