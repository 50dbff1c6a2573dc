#pragma once

#include "engine/SplitPlan.h"

#include <string>
#include <vector>

namespace clipforge {

// The converter's command lines of a split job. converter, source and the files written are
// absolute paths; params is the profile's arguments as stored.

// One part's pictures, without sound, by input seeking: the converter decodes from the key frame
// before the seek and drops what comes before it, so the part starts exactly at its key frame.
std::string partCommandLine(const std::string& converter, const std::string& source, const std::string& params,
                            const SplitPart& part, const std::string& output);
// The sound, once, from the whole source: sound converted in pieces clicks at the joins and drifts.
// Its encoder's delay stays as time stamps before zero, so the join shifts the pictures by that
// delay as a whole conversion's muxer does. Written in the profile's own container (output with
// its extension, soundFile), or Matroska where that one cannot hold such times.
std::string soundCommandLine(const std::string& converter, const std::string& source,
                             const std::vector<std::string>& params, const std::string& output);
// The file name of the picture part at index (from 0) for a profile's extension.
std::string partFile(std::size_t index, const std::string& ext);
// The sound's file name for a profile's extension.
std::string soundFile(const std::string& ext);
// Every piece's file name: the picture parts' in order, then the sound's when there is one.
std::vector<std::string> pieceFiles(const SplitPlan& split, const std::string& ext);
// The parts' pictures in order (through list, a concatenation list beside them), the sound and
// the source's metadata and chapters, into output, nothing re-encoded; the container's own
// options of the profile (-movflags, stream tags, dispositions...) are kept. With a stamp, the
// join is bit-exact (two joins of the same parts give the same bytes) and the output's comment
// is the stamp, so the output can be known again.
std::string joinCommandLine(const std::string& converter, const std::string& list, const std::string& sound,
                            const std::string& source, const std::vector<std::string>& params, const SplitPlan& plan,
                            const std::string& output, const std::string& stamp = {});
// The concatenation list naming the parts (files beside it) with the length each takes in the
// joined film.
std::string concatList(const std::vector<std::string>& partNames, const SplitPlan& plan);

}  // namespace clipforge
