#pragma once

#include <string>

// Chooses an output path that names no existing file, so a conversion never
// writes over one.
class TOverwriteManager {
public:
    // path itself when no file exists there; otherwise "_2" goes before the
    // extension, once more for every name already taken: clip.mp4,
    // clip_2.mp4, clip_2_2.mp4 ... A folder of that name does not count.
    // Reads the file system and changes nothing.
    std::string GetUniqueName(const std::string& path) const;
};
