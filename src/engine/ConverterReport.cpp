#include "engine/ConverterReport.h"

#include <algorithm>

namespace clipforge {

namespace {

bool contains(std::string_view line, std::string_view part) { return line.find(part) != std::string_view::npos; }

bool containsAny(std::string_view line, std::initializer_list<std::string_view> parts)
{
    return std::any_of(parts.begin(), parts.end(), [line](std::string_view part) { return contains(line, part); });
}

// "[mp4 @ 0x5581c2a0] Could not find tag" reads better without the component's address.
std::string_view withoutComponentView(std::string_view line)
{
    if (line.size() > 2 && line.front() == '[' && contains(line, " @ 0x")) {
        const auto close = line.find("] ");
        if (close != std::string_view::npos)
            line.remove_prefix(close + 2);
    }
    return line;
}

std::string withoutComponent(std::string_view line)
{
    return std::string(withoutComponentView(line));
}

// What the converter prints when its output did not reach the disk whole.
bool isWriteError(std::string_view line)
{
    return containsAny(line, {"Error writing trailer", "Error closing file", "No space left on device"});
}

// Lines that end every failed conversion and say nothing about why.
bool isSummary(std::string_view line)
{
    return line.empty() || line == "Conversion failed!" || line.rfind("Exiting normally", 0) == 0;
}

// The converter names its errors in plain words; its progress and stream details never hold
// these.
bool isErrorLine(std::string_view line)
{
    return containsAny(line, {"rror", "No such file", "No space left", "Permission denied", "Invalid", "Unknown",
                              "not found", "already exists", "Could not", "Cannot", "cannot", "Unable", "failed",
                              "Failed", "not supported", "Unrecognized", "does not", "matches no streams",
                              "Can't", "can't"});
}

bool startsWith(std::string_view line, std::string_view start) { return line.rfind(start, 0) == 0; }

bool endsWith(std::string_view line, std::string_view end)
{
    return line.size() >= end.size() && line.substr(line.size() - end.size()) == end;
}

// Lines the converter prints as the consequence of an error it has already named on the line
// before, and that say nothing of their own about why.
bool isConsequence(std::string_view line)
{
    return startsWith(line, "Error initializing output stream")
        || startsWith(line, "Could not write header for output file")
        || startsWith(line, "Error while opening encoder for output stream")
        || (startsWith(line, "Error writing trailer of") && endsWith(line, ": Invalid argument"))
        || line == "av_interleaved_write_frame(): Invalid argument";
}

bool isRepeatNote(std::string_view line)
{
    return startsWith(line, "Last message repeated");
}

std::string kept(std::string_view line)
{
    // The end of an error line says what went wrong; a long file name is what gets cut.
    if (line.size() > ConverterReport::LongestKeptLine)
        line.remove_prefix(line.size() - ConverterReport::LongestKeptLine);
    return std::string(line);
}

// A name cut where the line cutter cuts it: at CR, LF, or a CR LF pair taken as one end. The
// parts alternate: text, line end, text, ..., text.
std::vector<std::string> cutAtLineEnds(const std::string& name)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\r' && name[i] != '\n') {
            parts.back() += name[i];
            continue;
        }
        const bool pair = name[i] == '\r' && i + 1 < name.size() && name[i + 1] == '\n';
        parts.push_back(pair ? "\r\n" : std::string(1, name[i]));
        parts.emplace_back();
        i += pair ? 1 : 0;
    }
    return parts;
}

}  // namespace

void ConverterReport::setNames(const std::vector<std::string>& names)
{
    brokenNames_.clear();
    for (const std::string& name : names)
        if (name.find_first_of("\r\n") != std::string::npos)
            brokenNames_.push_back(name);
}

void ConverterReport::clear()
{
    lines_.clear();
    partial_.clear();
    writeFailed_ = false;
}

void ConverterReport::add(std::string_view text, TOutputType type)
{
    if (type == otBeginningOfLine) {
        partial_ = kept(text);
        return;
    }
    partial_.clear();
    note(text);
    lines_.push_back(kept(text));
    if (lines_.size() > KeptLines)
        lines_.pop_front();
}

void ConverterReport::note(std::string_view line)
{
    writeFailed_ = writeFailed_ || isWriteError(line);
}

bool ConverterReport::writeFailed() const { return writeFailed_ || isWriteError(partial_); }

std::string ConverterReport::errorLine() const
{
    std::vector<std::string_view> lines(lines_.begin(), lines_.end());
    if (!partial_.empty())
        lines.push_back(partial_);
    for (std::size_t i = lines.size(); i-- > 0;)
        if (!isSummary(lines[i]) && isErrorLine(lines[i]))
            return withoutComponent(rejoined(lines, causeOf(lines, i)));
    return {};
}

// A consequence gives way to the line that caused it: the nearest one before it, past other
// consequences and repeat notes, when that line names an error or comes from one of the
// converter's components. Anything else before it (a progress line, the input's description)
// means the cause went unsaid, and the consequence is all there is.
std::size_t ConverterReport::causeOf(const std::vector<std::string_view>& lines, std::size_t errorLine)
{
    if (!isConsequence(withoutComponentView(lines[errorLine])))
        return errorLine;
    for (std::size_t i = errorLine; i-- > 0;) {
        const std::string_view line = withoutComponentView(lines[i]);
        if (isConsequence(line) || isRepeatNote(line))
            continue;
        const bool fromComponent = line.size() < lines[i].size();
        return !isSummary(line) && (fromComponent || isErrorLine(line)) ? i : errorLine;
    }
    return errorLine;
}

std::string ConverterReport::rejoined(const std::vector<std::string_view>& lines, std::size_t last) const
{
    for (const std::string& name : brokenNames_) {
        const std::vector<std::string> parts = cutAtLineEnds(name);
        const std::size_t ends = parts.size() / 2;
        if (last < ends)
            continue;
        std::string joined(lines[last - ends]);
        for (std::size_t k = 1; k <= ends; ++k)
            joined.append(parts[2 * k - 1]).append(lines[last - ends + k]);
        if (joined.find(name) != std::string::npos)
            return joined;
    }
    return std::string(lines[last]);
}

}  // namespace clipforge
