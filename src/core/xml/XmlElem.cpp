#include "core/xml/XmlElem.h"

#include "core/Errors.h"
#include "core/xml/XmlOutput.h"
#include "core/xml/XmlText.h"

namespace {

using clipforge::XmlOutput;
using namespace std::string_view_literals;

void writeIndent(XmlOutput& output, int depth)
{
    output.spaces(static_cast<size_t>(depth) * 2);
}

void writeAttributes(XmlOutput& output, const TXmlProps& attributes)
{
    for (const auto& attribute : attributes) {
        output.put(' ');
        if (!attribute.Prefix.empty()) {
            output.write(attribute.Prefix);
            output.put(':');
        }
        output.write(attribute.Name);
        output.write("=\""sv);
        clipforge::appendEncoded(output, attribute.Value);
        output.put('"');
    }
}

}  // namespace

// ---- TXmlElems

TXmlElem& TXmlElems::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
    return *items_[static_cast<size_t>(index)];
}

TXmlElem* TXmlElems::FindChild(std::string_view name) const
{
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if (clipforge::equalsIgnoreCase((*it)->Name(), name))
            return it->get();
    }
    return nullptr;
}

TXmlElemClassic& TXmlElems::AddChild(std::string_view name)
{
    auto child = std::make_unique<TXmlElemClassic>();
    child->SetName(name);
    return static_cast<TXmlElemClassic&>(Add(std::move(child)));
}

TXmlElem& TXmlElems::Add(std::unique_ptr<TXmlElem> child)
{
    child->parent_ = owner_;
    // Most elements hold a handful of children (a list item has three).
    if (items_.empty())
        items_.reserve(4);
    return *items_.emplace_back(std::move(child));
}

// ---- TXmlElem

TXmlElem::~TXmlElem() = default;

void TXmlElem::SetName(std::string_view name)
{
    if (!name.empty() && name != name_)
        name_ = name;
}

void TXmlElem::setNameAndPrefix(std::string_view name, std::string_view prefix)
{
    SetName(name);
    prefix_.assign(prefix);
}

std::string TXmlElem::QualifiedName() const
{
    return prefix_.empty() ? name_ : prefix_ + ':' + name_;
}

void TXmlElem::CopyFrom(const TXmlElem& other)
{
    if (&other == this)
        return;
    name_ = other.name_;
    prefix_ = other.prefix_;
    value_ = other.value_;
    Clear();
    for (const auto& attribute : other.Attributes())
        Attributes().Add(attribute.Name, attribute.Prefix, attribute.Value);
    for (const auto& child : other.Children()) {
        auto copy = child->CreateSame();
        copy->CopyFrom(*child);
        Children().Add(std::move(copy));
    }
}

void TXmlElem::Clear()
{
    attributes_.Clear();
    children_.Clear();
}

// ---- writing

void TXmlElemClassic::Write(XmlOutput& output, int depth) const
{
    WriteWithMore(output, depth, 0, nullptr);
}

void TXmlElemClassic::WriteWithMore(XmlOutput& output, int depth, int count, const TXmlChildSource& source) const
{
    // The qualified name goes through the value encoder, like any value.
    const auto writeQualifiedName = [&] {
        if (!Prefix().empty()) {
            clipforge::appendEncoded(output, Prefix());
            output.put(':');
        }
        clipforge::appendEncoded(output, Name());
    };
    const auto writeEndTag = [&] {
        output.write("</"sv);
        writeQualifiedName();
        output.write(">\r\n"sv);
    };
    const bool tagged = !Name().empty();
    if (tagged) {
        writeIndent(output, depth);
        output.put('<');
        writeQualifiedName();
        if (Attributes().Count() > 0)
            writeAttributes(output, Attributes());
    }
    if (!HasChildren() && count <= 0) {
        if (!tagged)
            return;
        if (Value().empty()) {
            output.write("/>\r\n"sv);
            return;
        }
        output.put('>');
        clipforge::appendEncoded(output, Value());
        writeEndTag();
        return;
    }
    if (tagged)
        output.write(">\r\n"sv);
    for (const auto& child : Children())
        child->Write(output, depth + 1);
    for (int index = 0; index < count; ++index)
        source(index).Write(output, depth + 1);
    if (tagged) {
        writeIndent(output, depth);
        writeEndTag();
    }
}

void TXmlElemText::Write(XmlOutput& output, int depth) const
{
    if (Value().empty())
        return;
    writeIndent(output, depth);
    clipforge::appendEncoded(output, Value());
    output.write("\r\n"sv);
}

void TXmlElemComment::Write(XmlOutput& output, int depth) const
{
    writeIndent(output, depth);
    output.write("<!--"sv);
    output.write(Value());
    output.write("-->\r\n"sv);
}

void TXmlElemCData::Write(XmlOutput& output, int depth) const
{
    writeIndent(output, depth);
    output.write("<![CDATA["sv);
    output.write(Value());
    output.write("]]>\r\n"sv);
}

void TXmlElemHeader::Write(XmlOutput& output, int depth) const
{
    writeIndent(output, depth);
    output.write("<?xml version=\""sv);
    output.write(version_);
    output.put('"');
    if (!encoding_.empty()) {
        output.write(" encoding=\""sv);
        output.write(encoding_);
        output.put('"');
    }
    if (standalone_)
        output.write(" standalone=\"yes\""sv);
    output.write("?>\r\n"sv);
}

void TXmlElemDocType::Write(XmlOutput& output, int depth) const
{
    writeIndent(output, depth);
    output.write("<!DOCTYPE "sv);
    output.write(Value());
    output.write(">\r\n"sv);
}

void TXmlElemSheet::Write(XmlOutput& output, int depth) const
{
    writeIndent(output, depth);
    output.write("<?xml-stylesheet"sv);
    writeAttributes(output, Attributes());
    output.write("?>\r\n"sv);
}

// ---- copying

void TXmlElemHeader::CopyFrom(const TXmlElem& other)
{
    TXmlElem::CopyFrom(other);
    if (const auto* header = dynamic_cast<const TXmlElemHeader*>(&other)) {
        version_ = header->version_;
        encoding_ = header->encoding_;
        standalone_ = header->standalone_;
    }
}

std::unique_ptr<TXmlElem> TXmlElemClassic::CreateSame() const { return std::make_unique<TXmlElemClassic>(); }
std::unique_ptr<TXmlElem> TXmlElemText::CreateSame() const { return std::make_unique<TXmlElemText>(); }
std::unique_ptr<TXmlElem> TXmlElemComment::CreateSame() const { return std::make_unique<TXmlElemComment>(); }
std::unique_ptr<TXmlElem> TXmlElemCData::CreateSame() const { return std::make_unique<TXmlElemCData>(); }
std::unique_ptr<TXmlElem> TXmlElemHeader::CreateSame() const { return std::make_unique<TXmlElemHeader>(); }
std::unique_ptr<TXmlElem> TXmlElemDocType::CreateSame() const { return std::make_unique<TXmlElemDocType>(); }
std::unique_ptr<TXmlElem> TXmlElemSheet::CreateSame() const { return std::make_unique<TXmlElemSheet>(); }
