#pragma once

#include <atomic>
#include <span>
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

// The pieces cut from one read, together with the read's bytes. A piece that
// lies whole within the read points into those bytes; only text carried over
// from an earlier read is copied. Cutting thus costs no allocation and no copy
// per line, and a batch that is reused keeps its memory from read to read.
class OutputBatch {
public:
    // Room for a read of at least size bytes; grows, never shrinks. Filling
    // it drops the pieces of the previous read.
    std::span<char> readBuffer(std::size_t size);
    std::string_view readBytes(std::size_t count) const { return {read_.data(), count}; }

    // A piece whose text is copied into the batch.
    void add(std::string_view text, TOutputType type, TReturnCode returnCode);
    // A piece whose text lies within readBytes().
    void addFromRead(std::string_view text, TOutputType type, TReturnCode returnCode);
    void clear();

    std::size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    std::string_view text(std::size_t index) const;
    TOutputType type(std::size_t index) const { return spans_[index].type; }
    TReturnCode returnCode(std::size_t index) const { return spans_[index].returnCode; }
    OutputPiece piece(std::size_t index) const;
    std::vector<OutputPiece> pieces() const;

private:
    struct Span {
        bool inRead;
        std::size_t begin;
        std::size_t size;
        TOutputType type;
        TReturnCode returnCode;
    };
    std::vector<char> read_;
    std::string copied_;
    std::vector<Span> spans_;
};

// Cuts the converter's output, read in arbitrary chunks, into lines. LF, CR
// and CR LF all end a line (a CR alone is how progress lines redraw
// themselves), NUL bytes vanish, and a CR LF pair split between two reads
// counts once. Text left without a line end is kept and reported as the
// beginning of a line after every read, up to LongestLine bytes: a longer one is
// delivered in LongestLine pieces, each as a line of its own, so a converter
// that never ends a line costs bounded memory and no repeated copying.
class LineCutter {
public:
    static constexpr std::size_t LongestLine = 64 * 1024;

    // Cuts one read, the first count bytes of pieces.readBuffer(), into
    // pieces, which replace what they held before. When stop becomes true
    // the rest of the read is dropped.
    void cut(OutputBatch& pieces, std::size_t count, const std::atomic<bool>* stop = nullptr);
    OutputBatch cut(std::string_view bytes, const std::atomic<bool>* stop = nullptr);

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
    void endLine(OutputBatch& pieces, std::string_view tail, TReturnCode code);
    void appendPending(OutputBatch& pieces, std::string_view text);

    std::string pending_;
    TReturnCode returnCode_ = rcCRLF;
    bool lastReadEndedCR_ = false;
};

}  // namespace clipforge
