#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ConsoleRunnerTypes.h"

namespace clipforge {

// One delivery to the runner's user: a complete line, or the start of a line
// whose end has not arrived yet. returnCode is how the last complete line so
// far ended, as the user sees it while this piece is handled.
struct OutputPiece {
    std::string text;
    TOutputType type = otEntireLine;
    TReturnCode returnCode = rcCRLF;

    bool operator==(const OutputPiece&) const = default;
};

// Cuts the converter's output, read in arbitrary chunks, into lines. LF, CR
// and CR LF all end a line (a CR alone is how progress lines redraw
// themselves), NUL bytes vanish, and a CR LF pair split between two reads
// counts once. Text left without a line end is kept and reported as the
// beginning of a line after every read.
class LineCutter {
public:
    // Cuts one read. When stop becomes true the rest of the read is dropped.
    std::vector<OutputPiece> cut(std::string_view bytes, const std::atomic<bool>* stop = nullptr);

    // Echoes one line written to the child's input into the output stream.
    // continuesLine: the previous delivery was the beginning of a line, which
    // the echoed text then extends.
    OutputPiece echoInput(const std::string& input, bool continuesLine);

    const std::string& pending() const { return pending_; }
    TReturnCode returnCode() const { return returnCode_; }

    // An input line counts as complete when it ends with its first CR LF, or
    // else with its first LF.
    static bool isCompleteInputLine(const std::string& input);

private:
    void endLine(std::vector<OutputPiece>& pieces, TReturnCode code);

    std::string pending_;
    TReturnCode returnCode_ = rcCRLF;
    bool lastReadEndedCR_ = false;
};

}  // namespace clipforge
