#pragma once

#include "core/xml/XmlNodePool.h"
#include "core/xml/XmlProps.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace clipforge {
class XmlInput;
class XmlOutput;
class XmlTagName;
}

class TXmlElem;
class TXmlElemClassic;

// Children of a list too long to hold at once, produced or consumed one at a
// time. A source is called with 0, 1, ... and returns the child for that
// position, which need only stay valid until the next call; a sink is given
// each child as soon as it has been read.
using TXmlChildSource = std::function<const TXmlElem&(int index)>;
using TXmlChildSink = std::function<void(TXmlElem& child)>;

enum class XmlElemKind { Classic, Text, Comment, CData, Header, DocType, Sheet };

// The ordered children of one element. Children are owned here; each knows
// the element whose list holds it as its parent.
class TXmlElems {
public:
    explicit TXmlElems(TXmlElem* owner) : owner_(owner) {}

    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside 0 to Count() - 1.
    TXmlElem& Item(int index) const;

    // The last child whose name equals name without regard to letter case;
    // null when there is none. Text, comment and CDATA children have no name.
    TXmlElem* FindChild(std::string_view name) const;

    // Appends a new ordinary element with that name and an empty value.
    TXmlElemClassic& AddChild(std::string_view name);
    TXmlElem& Add(std::unique_ptr<TXmlElem> child);
    void Clear() { items_.clear(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    TXmlElem* owner_;
    std::vector<std::unique_ptr<TXmlElem>, clipforge::XmlNodeAllocator<std::unique_ptr<TXmlElem>>> items_;
};

// Any node of a document: an element, a run of text, a comment, a CDATA
// section or a prolog item. Text is bytes; values are held decoded.
class TXmlElem {
public:
    TXmlElem() : children_(this) {}
    TXmlElem(const TXmlElem&) = delete;
    TXmlElem& operator=(const TXmlElem&) = delete;
    virtual ~TXmlElem();

    virtual XmlElemKind Kind() const = 0;

    static void* operator new(std::size_t size) { return clipforge::allocateXmlNode(size); }
    static void operator delete(void* node, std::size_t size) noexcept { clipforge::releaseXmlNode(node, size); }

    const std::string& Name() const { return name_; }
    // An empty name, or the name the element already has, changes nothing.
    void SetName(std::string_view name);
    const std::string& Prefix() const { return prefix_; }
    void SetPrefix(std::string_view prefix) { prefix_ = prefix; }
    // Prefix + ":" + Name when there is a prefix, else Name.
    std::string QualifiedName() const;
    const std::string& Value() const { return value_; }
    void SetValue(std::string value) { value_ = std::move(value); }

    TXmlProps& Attributes() { return attributes_; }
    const TXmlProps& Attributes() const { return attributes_; }
    TXmlElems& Children() { return children_; }
    const TXmlElems& Children() const { return children_; }
    bool HasChildren() const { return children_.Count() > 0; }
    TXmlElem* Parent() const { return parent_; }

    // Makes this a deep copy of other: name, prefix, value, attributes and
    // children of the same kinds.
    virtual void CopyFrom(const TXmlElem& other);
    // Removes every child and attribute; name and value stay.
    virtual void Clear();
    // Reads this node from the input's current position, leaving the
    // position after it. Raises EXmlError for malformed data.
    virtual void Read(clipforge::XmlInput& input) = 0;
    // Appends this node's bytes at the given indentation depth.
    virtual void Write(clipforge::XmlOutput& output, int depth) const = 0;

    // A new empty node of the same kind, for deep copies.
    virtual std::unique_ptr<TXmlElem> CreateSame() const = 0;

protected:
    void setValueDirect(std::string_view value) { value_.assign(value); }
    std::string& mutableValue() { return value_; }
    void setNameAndPrefix(std::string_view name, std::string_view prefix);

private:
    friend class TXmlElems;

    std::string name_;
    std::string prefix_;
    std::string value_;
    TXmlProps attributes_;
    TXmlElems children_;
    TXmlElem* parent_ = nullptr;
};

// An ordinary element, <name ...>...</name> or <name .../>. The root is one.
class TXmlElemClassic : public TXmlElem {
public:
    XmlElemKind Kind() const override { return XmlElemKind::Classic; }
    void Read(clipforge::XmlInput& input) override;
    void Write(clipforge::XmlOutput& output, int depth) const override;
    // Write as if the children were followed by the count elements source
    // yields.
    void WriteWithMore(clipforge::XmlOutput& output, int depth, int count, const TXmlChildSource& source) const;
    std::unique_ptr<TXmlElem> CreateSame() const override;

private:
    void readContent(clipforge::XmlInput& input, const clipforge::XmlTagName& tag);
    std::string_view readChildren(clipforge::XmlInput& input, std::string_view& onlyText);
    void addTextChild(std::string_view rawText);
};

// Character data among the children of an element.
class TXmlElemText : public TXmlElem {
public:
    XmlElemKind Kind() const override { return XmlElemKind::Text; }
    void Read(clipforge::XmlInput& input) override;
    void Write(clipforge::XmlOutput& output, int depth) const override;
    std::unique_ptr<TXmlElem> CreateSame() const override;
};

// <!--...-->, in the prolog or among children; the value is kept as written.
class TXmlElemComment : public TXmlElem {
public:
    XmlElemKind Kind() const override { return XmlElemKind::Comment; }
    void Read(clipforge::XmlInput& input) override;
    void Write(clipforge::XmlOutput& output, int depth) const override;
    std::unique_ptr<TXmlElem> CreateSame() const override;
};

// <![CDATA[...]]> among children; the value is kept as written.
class TXmlElemCData : public TXmlElem {
public:
    XmlElemKind Kind() const override { return XmlElemKind::CData; }
    void Read(clipforge::XmlInput& input) override;
    void Write(clipforge::XmlOutput& output, int depth) const override;
    std::unique_ptr<TXmlElem> CreateSame() const override;
};

// The XML declaration <?xml version="..." encoding="..." standalone="yes"?>.
class TXmlElemHeader : public TXmlElem {
public:
    XmlElemKind Kind() const override { return XmlElemKind::Header; }

    const std::string& Version() const { return version_; }
    void SetVersion(std::string version) { version_ = std::move(version); }
    const std::string& Encoding() const { return encoding_; }
    void SetEncoding(std::string encoding) { encoding_ = std::move(encoding); }
    bool Standalone() const { return standalone_; }
    void SetStandalone(bool standalone) { standalone_ = standalone; }

    void CopyFrom(const TXmlElem& other) override;
    void Read(clipforge::XmlInput& input) override;
    void Write(clipforge::XmlOutput& output, int depth) const override;
    std::unique_ptr<TXmlElem> CreateSame() const override;

private:
    std::string version_ = "1.0";
    std::string encoding_ = "iso-8859-1";
    bool standalone_ = false;
};

// <!DOCTYPE ...>; the value is the text between the keyword and the closing
// bracket, trimmed. Internal subsets are kept as text, never interpreted.
class TXmlElemDocType : public TXmlElem {
public:
    XmlElemKind Kind() const override { return XmlElemKind::DocType; }
    void Read(clipforge::XmlInput& input) override;
    void Write(clipforge::XmlOutput& output, int depth) const override;
    std::unique_ptr<TXmlElem> CreateSame() const override;
};

// <?xml-stylesheet ...?> with its attributes.
class TXmlElemSheet : public TXmlElem {
public:
    XmlElemKind Kind() const override { return XmlElemKind::Sheet; }
    void Read(clipforge::XmlInput& input) override;
    void Write(clipforge::XmlOutput& output, int depth) const override;
    std::unique_ptr<TXmlElem> CreateSame() const override;
};
