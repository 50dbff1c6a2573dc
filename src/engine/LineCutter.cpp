#include "engine/LineCutter.h"

namespace clipforge {

namespace {

constexpr char Nul = '\0';
constexpr char Lf = '\n';
constexpr char Cr = '\r';

bool isSpecial(char c) { return c == Nul || c == Lf || c == Cr; }

bool stopRequested(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

}  // namespace

std::vector<OutputPiece> LineCutter::cut(std::string_view bytes, const std::atomic<bool>* stop)
{
    std::vector<OutputPiece> pieces;
    std::size_t i = 0;
    if (lastReadEndedCR_ && !bytes.empty() && bytes.front() == Lf)
        i = 1;
    bool endedCR = lastReadEndedCR_ && bytes.empty();
    while (i < bytes.size() && !stopRequested(stop)) {
        std::size_t end = i;
        while (end < bytes.size() && !isSpecial(bytes[end]))
            ++end;
        pending_.append(bytes.data() + i, end - i);
        endedCR = false;
        if (end == bytes.size())
            break;
        const char c = bytes[end];
        i = end + 1;
        if (c == Nul)
            continue;
        if (c == Cr && i < bytes.size() && bytes[i] == Lf) {
            ++i;
            endLine(pieces, rcCRLF);
        } else {
            endLine(pieces, rcLF);
            endedCR = c == Cr;
        }
    }
    lastReadEndedCR_ = endedCR;
    if (!pending_.empty() && !stopRequested(stop))
        pieces.push_back({pending_, otBeginningOfLine, returnCode_});
    return pieces;
}

void LineCutter::endLine(std::vector<OutputPiece>& pieces, TReturnCode code)
{
    returnCode_ = code;
    pieces.push_back({std::move(pending_), otEntireLine, returnCode_});
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
