#pragma once

#include "core/xml/XmlElem.h"

#include <cstring>
#include <string>
#include <string_view>

class TXmlProps;

namespace clipforge {

// The reader's view of the data: the whole input in memory and a position in
// it. Nodes read themselves from here.
class XmlInput {
public:
    explicit XmlInput(std::string_view data) : pos(data.data()), end(data.data() + data.size()) {}

    bool atEnd() const { return pos >= end; }
    size_t remaining() const { return static_cast<size_t>(end - pos); }
    bool startsWith(std::string_view text) const
    {
        return remaining() >= text.size() && std::memcmp(pos, text.data(), text.size()) == 0;
    }
    // The position of the next occurrence of byte, or end.
    const char* find(char byte) const
    {
        const void* found = std::memchr(pos, byte, remaining());
        return found ? static_cast<const char*>(found) : end;
    }
    void skipWhitespace();

    const char* pos;
    const char* const end;
    // How many elements are open around the position; bounded so that hostile
    // nesting cannot exhaust the stack.
    int depth = 0;
    // When set, the root's children are handed here one by one instead of
    // being kept.
    const TXmlChildSink* rootChildSink = nullptr;
};

inline constexpr int maximumXmlDepth = 1000;

inline bool isXmlWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

inline void XmlInput::skipWhitespace()
{
    while (pos < end && isXmlWhitespace(*pos))
        ++pos;
}

// Reads attributes up to "/", ">", "?" or the end of the data, leaving the
// position there. An attribute cut off by the end of the data is dropped.
void readAttributes(XmlInput& input, TXmlProps& attributes);

// Text that quotes one byte in a message.
inline std::string quotedByte(char byte)
{
    return std::string("\"") + byte + "\"";
}

}  // namespace clipforge
