#pragma once

#include "engine/ProgressReader.h"

#include <string>

namespace clipforge {

// seconds as "hh:mm:ss", rounded down; hours are never wrapped, so 100 hours read 100.
std::string durationText(double seconds);

// A job's progress in words, for its hint and the batch tool's status line:
// "37%, about 00:01:12 left", "37%" while there is nothing to estimate from, and for a source of
// unknown length "00:00:12 elapsed, 2.5x".
std::string progressText(const JobProgress& progress);

// A running job's hint while its finished output is checked.
inline constexpr const char* CheckingOutputHint = "checking the output";

// The speed as the converter writes it: "2.5x"; empty when unknown.
std::string speedText(const JobProgress& progress);

}  // namespace clipforge
