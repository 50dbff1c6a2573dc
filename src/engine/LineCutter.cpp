#include "engine/LineCutter.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace clipforge {

namespace {

constexpr char Nul = '\0';
constexpr char Lf = '\n';
constexpr char Cr = '\r';

bool isControlByte(char c) { return c == Nul || c == Lf || c == Cr; }

bool stopRequested(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

// The position of the first NUL, LF or CR at or after from, or the size.
// Output lines are long and these bytes rare, so where the processor allows
// it sixteen bytes are tested at once.
std::size_t findControlByte(std::string_view bytes, std::size_t from)
{
    std::size_t i = from;
#ifdef __SSE2__
    const __m128i nul = _mm_setzero_si128();
    const __m128i lf = _mm_set1_epi8(Lf);
    const __m128i cr = _mm_set1_epi8(Cr);
    for (; i + 16 <= bytes.size(); i += 16) {
        const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        const __m128i found = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(group, nul), _mm_cmpeq_epi8(group, lf)),
                                           _mm_cmpeq_epi8(group, cr));
        if (const int mask = _mm_movemask_epi8(found))
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i < bytes.size() && !isControlByte(bytes[i]))
        ++i;
    return i;
}

}  // namespace

std::span<char> OutputBatch::readBuffer(std::size_t size)
{
    clear();
    if (read_.size() < size)
        read_.resize(size);
    return read_;
}

void OutputBatch::add(std::string_view text, TOutputType type, TReturnCode returnCode)
{
    spans_.push_back({false, copied_.size(), text.size(), type, returnCode});
    copied_.append(text);
}

void OutputBatch::addFromRead(std::string_view text, TOutputType type, TReturnCode returnCode)
{
    spans_.push_back({true, static_cast<std::size_t>(text.data() - read_.data()), text.size(), type, returnCode});
}

void OutputBatch::clear()
{
    copied_.clear();
    spans_.clear();
}

std::string_view OutputBatch::text(std::size_t index) const
{
    const Span& span = spans_[index];
    return {(span.inRead ? read_.data() : copied_.data()) + span.begin, span.size};
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
    const auto buffer = pieces.readBuffer(bytes.size());
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    cut(pieces, bytes.size(), stop);
    return pieces;
}

void LineCutter::cut(OutputBatch& pieces, std::size_t count, const std::atomic<bool>* stop)
{
    pieces.clear();
    const std::string_view bytes = pieces.readBytes(count);
    std::size_t i = 0;
    if (lastReadEndedCR_ && !bytes.empty() && bytes.front() == Lf)
        i = 1;
    bool endedCR = lastReadEndedCR_ && bytes.empty();
    while (i < bytes.size() && !stopRequested(stop)) {
        const std::size_t end = findControlByte(bytes, i);
        const std::string_view segment = bytes.substr(i, end - i);
        endedCR = false;
        if (end == bytes.size()) {
            appendPending(pieces, segment);
            break;
        }
        const char c = bytes[end];
        i = end + 1;
        if (c == Nul) {
            appendPending(pieces, segment);
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
}

void LineCutter::appendPending(OutputBatch& pieces, std::string_view text)
{
    while (pending_.size() + text.size() > LongestLine) {
        const std::size_t room = LongestLine - pending_.size();
        pending_.append(text.substr(0, room));
        text.remove_prefix(room);
        pieces.add(pending_, otEntireLine, returnCode_);
        pending_.clear();
    }
    pending_.append(text);
}

// tail is the line's last part, still in the read; earlier parts wait in pending_.
void LineCutter::endLine(OutputBatch& pieces, std::string_view tail, TReturnCode code)
{
    returnCode_ = code;
    if (pending_.empty()) {
        pieces.addFromRead(tail, otEntireLine, returnCode_);
        return;
    }
    appendPending(pieces, tail);
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
