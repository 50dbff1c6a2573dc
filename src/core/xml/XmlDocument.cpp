#include "core/xml/XmlDocument.h"

#include "core/Errors.h"
#include "core/xml/FileIo.h"
#include "core/xml/XmlInput.h"
#include "core/xml/XmlOutput.h"

namespace {

// Bytes skipped between prolog items: whitespace, and byte-order-mark bytes
// one at a time (the reader never decodes UTF-8 or UTF-16).
bool isPrologFiller(char c)
{
    switch (static_cast<unsigned char>(c)) {
    case 0x00: case '\t': case '\n': case '\r': case ' ':
    case 0xBB: case 0xBF: case 0xEF: case 0xFE: case 0xFF:
        return true;
    default:
        return false;
    }
}

// The prolog item starting at the input's "<", or null when the root starts
// here instead. Sets endsDocument when the "<" begins something that is
// neither (an unknown "<!" or "<?" construct): then nothing more is read.
std::unique_ptr<TXmlElem> createPrologItem(const clipforge::XmlInput& input, bool& endsDocument)
{
    endsDocument = false;
    if (input.remaining() < 2) {
        endsDocument = true;
        return nullptr;
    }
    if (input.pos[1] != '!' && input.pos[1] != '?')
        return nullptr;
    if (input.startsWith("<!--"))
        return std::make_unique<TXmlElemComment>();
    if (input.startsWith("<?xml-stylesheet"))
        return std::make_unique<TXmlElemSheet>();
    if (input.startsWith("<?xml "))
        return std::make_unique<TXmlElemHeader>();
    if (input.startsWith("<!DOCTYPE"))
        return std::make_unique<TXmlElemDocType>();
    if (!input.startsWith("<![CDATA["))
        endsDocument = true;
    return nullptr;
}

}  // namespace

// ---- TXmlProlog

TXmlElem& TXmlProlog::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
    return *items_[static_cast<size_t>(index)];
}

TXmlElem& TXmlProlog::Add(std::unique_ptr<TXmlElem> item)
{
    return *items_.emplace_back(std::move(item));
}

TXmlElemHeader& TXmlProlog::Declaration()
{
    for (const auto& item : items_) {
        if (item->Kind() == XmlElemKind::Header)
            return static_cast<TXmlElemHeader&>(*item);
    }
    return static_cast<TXmlElemHeader&>(Add(std::make_unique<TXmlElemHeader>()));
}

void TXmlProlog::SetEncoding(std::string encoding)
{
    Declaration().SetEncoding(std::move(encoding));
}

void TXmlProlog::Write(clipforge::XmlOutput& output) const
{
    for (const auto& item : items_)
        item->Write(output, 0);
}

// ---- TXmlDocument

TXmlDocument::TXmlDocument() : root_(std::make_unique<TXmlElemClassic>()) {}

TXmlDocument::~TXmlDocument() = default;

void TXmlDocument::Load(std::string_view data)
{
    load(data, nullptr);
}

void TXmlDocument::Load(std::string_view data, const TXmlChildSink& take)
{
    load(data, &take);
}

void TXmlDocument::load(std::string_view data, const TXmlChildSink* take)
{
    root_->Clear();
    prolog_.Clear();
    clipforge::XmlInput input(data);
    input.rootChildSink = take;
    for (;;) {
        while (!input.atEnd() && isPrologFiller(*input.pos))
            ++input.pos;
        if (input.atEnd())
            return;
        if (*input.pos != '<')
            throw EXmlError("Invalid Document: Unexpected text in file prolog");
        bool endsDocument = false;
        auto item = createPrologItem(input, endsDocument);
        if (endsDocument)
            return;
        if (!item)
            break;
        // A half-read item stays out, so a later Save still adds a proper
        // declaration after a load that failed inside one.
        item->Read(input);
        prolog_.Add(std::move(item));
    }
    root_->Read(input);
}

void TXmlDocument::LoadFile(const std::string& path)
{
    Load(clipforge::readWholeFile(path));
}

void TXmlDocument::LoadFile(const std::string& path, const TXmlChildSink& take)
{
    Load(clipforge::readWholeFile(path), take);
}

void TXmlDocument::write(clipforge::XmlOutput& output, int count, const TXmlChildSource& source)
{
    prolog_.Declaration();
    prolog_.Write(output);
    root_->WriteWithMore(output, 0, count, source);
}

void TXmlDocument::Save(std::string& output)
{
    Save(output, 0, nullptr);
}

void TXmlDocument::Save(std::string& output, int count, const TXmlChildSource& source)
{
    clipforge::XmlStringOutput sink(output);
    write(sink, count, source);
    sink.flush();
}

std::string TXmlDocument::SaveToString()
{
    std::string output;
    Save(output);
    return output;
}

void TXmlDocument::SaveFile(const std::string& path)
{
    SaveFile(path, 0, nullptr);
}

void TXmlDocument::SaveFile(const std::string& path, int count, const TXmlChildSource& source)
{
    clipforge::replaceFileContents(path, [&](clipforge::XmlOutput& output) { write(output, count, source); });
}
