#pragma once

#include "engine/MediaPackets.h"

#include <optional>
#include <string>
#include <vector>

namespace clipforge {

// How a long job may be spread over several workers.
struct SplitOptions {
    int parts = 1;                // at most this many; 1 never splits
    double minimumSeconds = 120;  // a shorter source runs whole; no part shorter than half of it
};

// One part of a split job's pictures. Times are seconds on the converter's clock for the source,
// which starts at the source's start.
struct SplitPart {
    // Where the part's input seek goes (half a frame before its first key frame, so that key
    // frame is the first picture whatever the rounding); none for the first part, which starts
    // at the start.
    std::optional<double> seek;
    // How far the seek is shifted back so the part's first picture is at its time zero.
    double shift = 0;
    // How long the part's pictures play, ending half a frame before the next part's first key
    // frame; none for the last, which runs to the end.
    std::optional<double> length;
    // How long the part lasts in the joined film, from its first picture to the next part's.
    std::optional<double> joinedLength;
    double seconds = 0;  // about how much of the film it holds: longer parts start first
};

// Whether and where a job is cut.
struct SplitPlan {
    int parts = 1;
    std::string why;  // why it runs whole; empty when it splits
    std::vector<SplitPart> cuts;
    bool sound = false;        // the output keeps a sound stream, converted once from the whole source
    double pictureStart = 0;   // the first picture's time on the source's clock
    double soundSeconds = 0;   // how long the sound plays

    bool splits() const { return parts > 1; }
};

// Why a profile's pictures cannot be converted piece by piece and joined into the same film;
// empty when they can. params: the profile's arguments, split.
std::string profileSplitRefusal(const std::vector<std::string>& params);

// The plan for a source read by the packet reader, cut into at most options.parts pieces at key
// frames near equal shares of its pictures' playing time.
SplitPlan planSplit(const std::vector<std::string>& params, const MediaPackets& source, const SplitOptions& options);

}  // namespace clipforge
