#pragma once

#include <string>
#include <vector>

// For a file of the QuickTime family (MP4, MOV, 3GP...), whether each track's edit list does more
// than shift its start, in track order, which is the order of the file's streams. An encoder's
// delay and sound priming leave a single edit that starts the media late; anything else (several
// pieces, a changed speed, a gap within the film) plays differently from the packets' own
// times, so a film cut by those times would not join back into the same film. Empty for other
// formats and for a file whose boxes do not read.
std::vector<bool> editedTracks(const std::string& path, const std::string& formatName);
