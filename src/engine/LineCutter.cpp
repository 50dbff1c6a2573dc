#include "engine/LineCutter.h"

namespace clipforge {

namespace {

constexpr char Nul = '\0';
constexpr char Lf = '\n';
constexpr char Cr = '\r';

bool isSpecial(char c) { return c == Nul || c == Lf || c == Cr; }

bool stopRequested(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

}  // namespace

void OutputBatch::add(std::string_view text, TOutputType type, TReturnCode returnCode)
{
    text_.append(text);
    spans_.push_back({text_.size(), type, returnCode});
}

std::string_view OutputBatch::text(std::size_t index) const
{
    const std::size_t begin = index == 0 ? 0 : spans_[index - 1].end;
    return std::string_view(text_).substr(begin, spans_[index].end - begin);
}

OutputPiece OutputBatch::piece(std::size_t index) const
{
    return {std::string(text(index)), type(index), returnCode(index)};
}

std::vector<OutputPiece> OutputBatch::pieces() const
{
    std::vector<OutputPiece> result;
    for (std::size_t i = 0; i < size(); ++i)
        result.push_back(piece(i));
    return result;
}

OutputBatch LineCutter::cut(std::string_view bytes, const std::atomic<bool>* stop)
{
    OutputBatch pieces;
    // Each byte lands in at most one piece, plus the carried text once or twice.
    pieces.reserve(bytes.size() + 2 * pending_.size());
    std::size_t i = 0;
    if (lastReadEndedCR_ && !bytes.empty() && bytes.front() == Lf)
        i = 1;
    bool endedCR = lastReadEndedCR_ && bytes.empty();
    while (i < bytes.size() && !stopRequested(stop)) {
        std::size_t end = i;
        while (end < bytes.size() && !isSpecial(bytes[end]))
            ++end;
        const std::string_view segment = bytes.substr(i, end - i);
        endedCR = false;
        if (end == bytes.size()) {
            pending_.append(segment);
            break;
        }
        const char c = bytes[end];
        i = end + 1;
        if (c == Nul) {
            pending_.append(segment);
            continue;
        }
        if (c == Cr && i < bytes.size() && bytes[i] == Lf) {
            ++i;
            endLine(pieces, segment, rcCRLF);
        } else {
            endLine(pieces, segment, rcLF);
            endedCR = c == Cr;
        }
    }
    lastReadEndedCR_ = endedCR;
    if (!pending_.empty() && !stopRequested(stop))
        pieces.add(pending_, otBeginningOfLine, returnCode_);
    return pieces;
}

// tail is the line's last part, still in the read; earlier parts wait in pending_.
void LineCutter::endLine(OutputBatch& pieces, std::string_view tail, TReturnCode code)
{
    returnCode_ = code;
    if (pending_.empty()) {
        pieces.add(tail, otEntireLine, returnCode_);
        return;
    }
    pending_.append(tail);
    pieces.add(pending_, otEntireLine, returnCode_);
    pending_.clear();
}

OutputPiece LineCutter::echoInput(const std::string& input, bool continuesLine)
{
    pending_ = continuesLine ? pending_ + input : input;
    if (!isCompleteInputLine(input))
        return {pending_, otBeginningOfLine, returnCode_};
    OutputPiece piece{std::move(pending_), otEntireLine, returnCode_};
    pending_.clear();
    return piece;
}

bool LineCutter::isCompleteInputLine(const std::string& input)
{
    const auto crlf = input.find("\r\n");
    if (crlf != std::string::npos && crlf + 2 == input.size())
        return true;
    const auto lf = input.find(Lf);
    return lf != std::string::npos && lf + 1 == input.size();
}

}  // namespace clipforge
