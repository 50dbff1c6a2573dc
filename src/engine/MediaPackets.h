#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace clipforge {

enum class StreamKind { Video, Sound, Subtitle, Data, Other };

// What one stream's packets hold, read packet by packet: never a container's header.
struct StreamPackets {
    StreamKind kind = StreamKind::Other;
    bool attachedPicture = false;  // a cover picture, not a moving one
    std::int64_t packets = 0;
    // Seconds; none when no packet carried a time stamp.
    std::optional<double> start;  // the earliest packet's
    std::optional<double> end;    // the latest packet's end
    std::optional<double> sum;    // the packets' durations added up
    // Moving pictures only: the usual step between frames (none with fewer than two), whether
    // some steps differ from it (a variable frame rate, dropped frames), whether an edit list
    // does more than shift the start, and the key frames' times in seconds, in file order.
    std::optional<double> frameSpacing;
    bool spacingVaries = false;
    bool edited = false;
    std::vector<double> keyFrames;

    std::optional<double> span() const
    {
        return start && end ? std::optional<double>(*end - *start) : std::nullopt;
    }
    // The stream's playing time: its span, or the sum of its packets where time stamps restart (a
    // joined recording) and the span falls short of what its packets hold.
    double playingTime() const { return std::max(span().value_or(0.0), sum.value_or(0.0)); }
    // One packet's share of that time: its frame as shown, or its sound packet. A stream that
    // leaves gaps between its frames (a recording that dropped them) shows each for longer than
    // its packet says.
    double packetDuration() const { return packets > 0 ? playingTime() / static_cast<double>(packets) : 0.0; }
};

// A file's streams in the file's order, or why they could not be read.
struct MediaPackets {
    std::vector<StreamPackets> streams;
    std::string error;
    // Where the converter counts an input seek from: the file's start, in seconds.
    std::optional<double> start;
    // The file's comment when it is one word of printable characters (a split join's stamp);
    // empty otherwise.
    std::string comment;

    bool readable() const { return error.empty(); }
    // The earliest start of any stream: each stream's start counts from here.
    std::optional<double> earliestStart() const;
};

}  // namespace clipforge
