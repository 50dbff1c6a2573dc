#pragma once

#include "engine/MediaPackets.h"
#include "engine/StreamExpectation.h"

#include <optional>
#include <string>
#include <vector>

namespace clipforge {

// How a finished output is checked against its source: streams (a failed check fails the job),
// full (streams, then every picture and sound decoded), warn (streams, but the job finishes with
// a warning) or off.
enum class CheckMode { Streams, Full, Warn, Off };

// "streams", "full", "warn", "off"; none for any other word.
std::optional<CheckMode> checkModeNamed(const std::string& word);
std::string checkModeName(CheckMode mode);

// One expected stream's playing time in the source (as the profile asks it cut) and the output.
struct CheckedStream {
    StreamKind kind = StreamKind::Video;
    double sourceSeconds = 0.0;
    std::optional<double> outputSeconds;  // none: the output lacks it
};

// What the check found.
struct CheckResult {
    enum class Verdict { Passed, Failed, Warned, Off };
    CheckMode mode = CheckMode::Off;
    Verdict verdict = Verdict::Off;
    std::vector<CheckedStream> streams;
    std::string reason;  // why it failed (or warned): every failing stream, video first
    std::string note;    // what was not compared, and why

    bool failed() const { return verdict == Verdict::Failed; }
};

std::string verdictName(CheckResult::Verdict verdict);

// Compares the output's packets with the source's. A source that cannot be read leaves nothing
// to compare against: the output passes with a note saying so. An output that cannot be read fails.
CheckResult checkOutput(const StreamExpectation& expected, const MediaPackets& source, const MediaPackets& output);

// The result as the mode has it count: warn turns a failure into a warning.
CheckResult underMode(CheckResult result, CheckMode mode);

// The converter's command line that decodes every video and sound stream of file and writes
// nothing; at the first decoding error it ends with a code other than 0, unless told to go on.
enum class DecodeErrors { End, GoOn };
std::string decodeCommandLine(const std::string& converter, const std::string& file, DecodeErrors errors);
// A decoder's error line without the address in its "[codec @ 0x...]" prefix; empty for a line
// about the decoding's own bookkeeping (the null output's complaints about time stamps), which
// says nothing of the file.
std::string decodeErrorText(std::string line);

}  // namespace clipforge
