#include "core/xml/XmlElem.h"

#include "core/Errors.h"
#include "core/xml/XmlText.h"

namespace {

void writeIndent(std::string& output, int depth)
{
    output.append(static_cast<size_t>(depth) * 2, ' ');
}

void writeAttributes(std::string& output, const TXmlProps& attributes)
{
    for (const auto& attribute : attributes) {
        output += ' ';
        if (!attribute.Prefix.empty()) {
            output += attribute.Prefix;
            output += ':';
        }
        output += attribute.Name;
        output += "=\"";
        clipforge::appendEncoded(output, attribute.Value);
        output += '"';
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

void TXmlElemClassic::Write(std::string& output, int depth) const
{
    // The qualified name goes through the value encoder, like any value.
    const auto writeQualifiedName = [&] {
        if (!Prefix().empty()) {
            clipforge::appendEncoded(output, Prefix());
            output += ':';
        }
        clipforge::appendEncoded(output, Name());
    };
    const auto writeEndTag = [&] {
        output += "</";
        writeQualifiedName();
        output += ">\r\n";
    };
    const bool tagged = !Name().empty();
    if (tagged) {
        writeIndent(output, depth);
        output += '<';
        writeQualifiedName();
        writeAttributes(output, Attributes());
    }
    if (!HasChildren()) {
        if (!tagged)
            return;
        if (Value().empty()) {
            output += "/>\r\n";
            return;
        }
        output += '>';
        clipforge::appendEncoded(output, Value());
        writeEndTag();
        return;
    }
    if (tagged)
        output += ">\r\n";
    for (const auto& child : Children())
        child->Write(output, depth + 1);
    if (tagged) {
        writeIndent(output, depth);
        writeEndTag();
    }
}

void TXmlElemText::Write(std::string& output, int depth) const
{
    if (Value().empty())
        return;
    writeIndent(output, depth);
    clipforge::appendEncoded(output, Value());
    output += "\r\n";
}

void TXmlElemComment::Write(std::string& output, int depth) const
{
    writeIndent(output, depth);
    output += "<!--";
    output += Value();
    output += "-->\r\n";
}

void TXmlElemCData::Write(std::string& output, int depth) const
{
    writeIndent(output, depth);
    output += "<![CDATA[";
    output += Value();
    output += "]]>\r\n";
}

void TXmlElemHeader::Write(std::string& output, int depth) const
{
    writeIndent(output, depth);
    output += "<?xml version=\"";
    output += version_;
    output += '"';
    if (!encoding_.empty()) {
        output += " encoding=\"";
        output += encoding_;
        output += '"';
    }
    if (standalone_)
        output += " standalone=\"yes\"";
    output += "?>\r\n";
}

void TXmlElemDocType::Write(std::string& output, int depth) const
{
    writeIndent(output, depth);
    output += "<!DOCTYPE ";
    output += Value();
    output += ">\r\n";
}

void TXmlElemSheet::Write(std::string& output, int depth) const
{
    writeIndent(output, depth);
    output += "<?xml-stylesheet";
    writeAttributes(output, Attributes());
    output += "?>\r\n";
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
