#pragma once

#include <optional>
#include <string>
#include <vector>

namespace clipforge::test {

// What ffprobe tells of one stream.
struct StreamFacts {
    std::string type;  // "video", "audio", "subtitle", ...
    std::string codec;
    int width = 0;
    int height = 0;
    double pixelAspect = 1.0;  // unknown counts as square
    int rotation = 0;          // degrees a player turns the picture
    int channels = 0;
    bool coverPicture = false;

    // Width over height as a player shows the picture: pixel aspect and quarter turns applied.
    double displayedShape() const;
};

struct MediaFacts {
    bool readable = false;  // ffprobe found at least one stream
    std::vector<StreamFacts> streams;

    std::vector<StreamFacts> ofType(const std::string& type) const;
};

MediaFacts probeMedia(const std::string& path);

// The part of the first frames that is not black bars, in pixels; nothing when the converter
// cannot tell.
struct PictureArea {
    int width = 0;
    int height = 0;
};
std::optional<PictureArea> pictureArea(const std::string& path);

}  // namespace clipforge::test
