// How each kind of node reads itself from the input.
#include "core/Errors.h"
#include "core/xml/XmlElem.h"
#include "core/xml/XmlInput.h"
#include "core/xml/XmlText.h"

#include <array>

using clipforge::XmlInput;

namespace {

constexpr auto makeByteTable(bool (*test)(unsigned char))
{
    std::array<bool, 256> table{};
    for (int byte = 0; byte < 256; ++byte)
        table[static_cast<size_t>(byte)] = test(static_cast<unsigned char>(byte));
    return table;
}

// Bytes that belong to an element name: everything but what ends it.
constexpr auto elementNameBytes = makeByteTable([](unsigned char c) {
    return !(c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ':' || c == '/' || c == '>');
});

constexpr auto attributeNameBytes = makeByteTable([](unsigned char c) {
    return c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
});

bool isElementNameByte(char c) { return elementNameBytes[static_cast<unsigned char>(c)]; }
bool isAttributeNameByte(char c) { return attributeNameBytes[static_cast<unsigned char>(c)]; }

[[noreturn]] void failUnexpectedEnd(std::string_view what)
{
    throw EXmlError(std::string(what) + ": Unexpected end of data");
}

[[noreturn]] void failPropertyCharacter(char found)
{
    throw EXmlError("Invalid XML Element: Unexpected character in property declaration (" +
                    clipforge::quotedByte(found) + " found)");
}

// The byte expected next in a declaration or style sheet: "?" then ">".
void expectByte(XmlInput& input, char expected, std::string_view what)
{
    if (input.atEnd())
        failUnexpectedEnd(what);
    if (*input.pos != expected) {
        throw EXmlError(std::string(what) + ": expected " + clipforge::quotedByte(expected) + " but found " +
                        clipforge::quotedByte(*input.pos));
    }
    ++input.pos;
}

// Returns false when the data ends inside the attribute.
bool readOneAttribute(XmlInput& input, TXmlProps& attributes)
{
    std::string_view prefix;
    const char* start = input.pos;
    for (;;) {
        while (input.pos < input.end && isAttributeNameByte(*input.pos))
            ++input.pos;
        if (input.pos >= input.end || *input.pos != ':')
            break;
        prefix = std::string_view(start, static_cast<size_t>(input.pos - start));
        start = ++input.pos;
    }
    const std::string_view name(start, static_cast<size_t>(input.pos - start));
    input.skipWhitespace();
    if (input.atEnd())
        return false;
    if (*input.pos != '=')
        failPropertyCharacter(*input.pos);
    ++input.pos;
    input.skipWhitespace();
    if (input.atEnd())
        return false;
    const char quote = *input.pos;
    if (quote != '"' && quote != '\'') {
        throw EXmlError("Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' but " +
                        clipforge::quotedByte(quote) + "  found");
    }
    ++input.pos;
    const char* close = input.find(quote);
    if (close == input.end) {
        input.pos = input.end;
        return false;
    }
    auto& attribute = attributes.Add(std::string(name), std::string(prefix), std::string());
    clipforge::assignDecoded(attribute.Value, std::string_view(input.pos, static_cast<size_t>(close - input.pos)));
    input.pos = close + 1;
    return true;
}

}  // namespace

void clipforge::readAttributes(XmlInput& input, TXmlProps& attributes)
{
    for (;;) {
        input.skipWhitespace();
        if (input.atEnd())
            return;
        const char c = *input.pos;
        if (c == '/' || c == '>' || c == '?')
            return;
        if (!isAttributeNameByte(c))
            failPropertyCharacter(c);
        if (!readOneAttribute(input, attributes))
            return;
    }
}

// ---- ordinary elements

namespace clipforge {

// The name of a start tag as it is read. Name bytes are nearly always one
// run straight from the input; only a name that goes on after attributes
// (allowed, if odd) needs a copy of its own.
class XmlTagName {
public:
    void append(const char* from, const char* to)
    {
        if (from == to)
            return;
        const std::string_view run(from, static_cast<size_t>(to - from));
        if (name_.empty()) {
            name_ = run;
        } else if (name_.data() + name_.size() == from) {
            name_ = std::string_view(name_.data(), name_.size() + run.size());
        } else {
            if (name_.data() != nameCopy_.data())
                nameCopy_.assign(name_);
            nameCopy_.append(run);
            name_ = nameCopy_;
        }
    }

    // ":" makes the name read so far the prefix.
    void startAfterPrefix()
    {
        prefixCopy_.assign(name_);
        prefix_ = prefixCopy_;
        hasPrefix_ = true;
        name_ = {};
    }

    std::string_view name() const { return name_; }
    std::string_view prefix() const { return prefix_; }

    bool matchesEndTag(std::string_view endName) const
    {
        if (!hasPrefix_)
            return clipforge::equalsIgnoreCase(name_, endName);
        return endName.size() == prefix_.size() + 1 + name_.size() && endName[prefix_.size()] == ':' &&
               clipforge::equalsIgnoreCase(endName.substr(0, prefix_.size()), prefix_) &&
               clipforge::equalsIgnoreCase(endName.substr(prefix_.size() + 1), name_);
    }

private:
    std::string_view name_;
    std::string_view prefix_;
    bool hasPrefix_ = false;
    std::string nameCopy_;
    std::string prefixCopy_;
};

}  // namespace clipforge

void TXmlElemClassic::Read(XmlInput& input)
{
    if (input.atEnd())
        return;
    if (*input.pos != '<') {
        throw EXmlError("Invalid XML Element: Expected beginning of tag but " + clipforge::quotedByte(*input.pos) +
                        " found");
    }
    ++input.pos;
    clipforge::XmlTagName tag;
    for (;;) {
        const char* run = input.pos;
        while (input.pos < input.end && isElementNameByte(*input.pos))
            ++input.pos;
        tag.append(run, input.pos);
        // Cut off inside the start tag: the element keeps no name and the
        // caller decides whether that is an error.
        if (input.atEnd())
            return;
        const char c = *input.pos++;
        if (c == ':') {
            tag.startAfterPrefix();
        } else if (c == '/') {
            if (input.atEnd())
                return;
            if (*input.pos != '>') {
                throw EXmlError("Invalid XML Element: Expected end of tag but " + clipforge::quotedByte(*input.pos) +
                                " found");
            }
            ++input.pos;
            mutableValue().clear();
            setNameAndPrefix(tag.name(), tag.prefix());
            return;
        } else if (c == '>') {
            readContent(input, tag);
            return;
        } else {
            if (tag.name().empty())
                throw EXmlError("Invalid XML Element: malformed tag found (no valid name)");
            clipforge::readAttributes(input, Attributes());
        }
    }
}

void TXmlElemClassic::readContent(XmlInput& input, const clipforge::XmlTagName& tag)
{
    if (++input.depth > clipforge::maximumXmlDepth)
        throw EXmlError("Invalid XML Element: Elements nested too deeply");
    // A lone run of text is the element's value; it only becomes a child of
    // its own when other children join it. Holding it back saves creating
    // and dropping a node for every simple <name>value</name>.
    std::string_view onlyText;
    const std::string_view endName = readChildren(input, onlyText);
    const bool hasOnlyText = onlyText.data() != nullptr;
    if (!tag.matchesEndTag(endName)) {
        if (hasOnlyText)
            addTextChild(onlyText);
        throw EXmlError("Invalid XML Element: Erroneous end of tag, expecting </" + std::string(tag.name()) +
                        "> but </" + std::string(endName) + "> found");
    }
    if (hasOnlyText)
        clipforge::assignDecoded(mutableValue(), onlyText);
    else
        mutableValue().clear();
    setNameAndPrefix(tag.name(), tag.prefix());
    --input.depth;
}

void TXmlElemClassic::addTextChild(std::string_view rawText)
{
    auto text = std::make_unique<TXmlElemText>();
    text->SetValue(clipforge::decodeValue(rawText));
    Children().Add(std::move(text));
}

std::string_view TXmlElemClassic::readChildren(XmlInput& input, std::string_view& onlyText)
{
    if (HasChildren())
        Children().Clear();
    // The root's children go to the sink as soon as each is complete; only
    // the one being read is ever held.
    const TXmlChildSink* sink = input.depth == 1 ? input.rootChildSink : nullptr;
    bool anyChild = false;
    const auto added = [&](TXmlElem& child) {
        anyChild = true;
        if (sink != nullptr) {
            (*sink)(child);
            Children().Clear();
        }
    };
    const auto addText = [&](std::string_view rawText) {
        addTextChild(rawText);
        added(Children().Item(Children().Count() - 1));
    };
    for (;;) {
        const char* textStart = input.pos;
        input.skipWhitespace();
        if (input.atEnd())
            return {};
        if (*input.pos != '<') {
            const char* textEnd = input.find('<');
            const std::string_view text(textStart, static_cast<size_t>(textEnd - textStart));
            input.pos = textEnd;
            if (anyChild)
                addText(text);
            else
                onlyText = text;
            continue;
        }
        if (input.remaining() >= 2 && input.pos[1] == '/') {
            const char* nameStart = input.pos + 2;
            input.pos = nameStart;
            const char* close = input.find('>');
            if (close == input.end) {
                input.pos = input.end;
                return {};
            }
            input.pos = close + 1;
            return std::string_view(nameStart, static_cast<size_t>(close - nameStart));
        }
        if (onlyText.data() != nullptr) {
            addText(onlyText);
            onlyText = {};
        }
        std::unique_ptr<TXmlElem> child;
        const bool markup = input.remaining() >= 2 && input.pos[1] == '!';
        if (markup && input.startsWith("<!--"))
            child = std::make_unique<TXmlElemComment>();
        else if (markup && input.startsWith("<![CDATA["))
            child = std::make_unique<TXmlElemCData>();
        else
            child = std::make_unique<TXmlElemClassic>();
        TXmlElem& read = Children().Add(std::move(child));
        read.Read(input);
        added(read);
    }
}

// ---- the other kinds

void TXmlElemText::Read(XmlInput& input)
{
    const char* start = input.pos;
    input.pos = input.find('<');
    clipforge::assignDecoded(mutableValue(), std::string_view(start, static_cast<size_t>(input.pos - start)));
}

void TXmlElemComment::Read(XmlInput& input)
{
    input.pos += 4;  // "<!--"
    const char* start = input.pos;
    const char* search = input.pos;
    for (;;) {
        const std::string_view rest(search, static_cast<size_t>(input.end - search));
        const size_t dashes = rest.find("--");
        if (dashes == std::string_view::npos || dashes + 3 > rest.size())
            failUnexpectedEnd("Invalid Comment");
        const char* at = search + dashes;
        if (at[2] == '>') {
            setValueDirect(std::string_view(start, static_cast<size_t>(at - start)));
            input.pos = at + 3;
            return;
        }
        if (at + 3 >= input.end)
            failUnexpectedEnd("Invalid Comment");
        if (at[3] != '>')
            throw EXmlError("Invalid Comment: \"--\" not allowed inside comments");
        // "--x>" is tolerated as text; the ">" after it does not close.
        search = at + 3;
    }
}

void TXmlElemCData::Read(XmlInput& input)
{
    input.pos += 9;  // "<![CDATA["
    const std::string_view rest(input.pos, input.remaining());
    const size_t close = rest.find("]]>");
    if (close == std::string_view::npos)
        failUnexpectedEnd("Invalid CDATA");
    setValueDirect(rest.substr(0, close));
    input.pos += close + 3;
}

void TXmlElemHeader::Read(XmlInput& input)
{
    input.pos += 5;  // "<?xml"
    clipforge::readAttributes(input, Attributes());
    expectByte(input, '?', "Invalid Header");
    expectByte(input, '>', "Invalid Header");
    const TXmlProps& attributes = Attributes();
    version_ = attributes.Value("version", "");
    encoding_ = attributes.Value("encoding", "");
    standalone_ = attributes.Value("standalone", "") == "yes";
    Attributes().Clear();
}

void TXmlElemDocType::Read(XmlInput& input)
{
    input.pos += 9;  // "<!DOCTYPE"
    const char* start = input.pos;
    bool insideBrackets = false;
    for (const char* p = input.pos; p < input.end; ++p) {
        if (*p == '[') {
            insideBrackets = true;
        } else if (*p == ']') {
            insideBrackets = false;
        } else if (*p == '>' && !insideBrackets) {
            const char* first = start;
            const char* last = p;
            while (first < last && static_cast<unsigned char>(*first) <= ' ')
                ++first;
            while (last > first && static_cast<unsigned char>(last[-1]) <= ' ')
                --last;
            setValueDirect(std::string_view(first, static_cast<size_t>(last - first)));
            input.pos = p + 1;
            return;
        }
    }
    failUnexpectedEnd("Invalid Document Type");
}

void TXmlElemSheet::Read(XmlInput& input)
{
    input.pos += 16;  // "<?xml-stylesheet"
    clipforge::readAttributes(input, Attributes());
    expectByte(input, '?', "Invalid Stylesheet");
    expectByte(input, '>', "Invalid Stylesheet");
}
