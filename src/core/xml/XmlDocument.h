#pragma once

#include "core/xml/XmlElem.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What stands before the root element: declaration, comments, document type
// and style sheets, in file order.
class TXmlProlog {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside 0 to Count() - 1.
    TXmlElem& Item(int index) const;
    TXmlElem& Add(std::unique_ptr<TXmlElem> item);
    void Clear() { items_.clear(); }

    // The first declaration of the prolog; when there is none, a new one with
    // the defaults ("1.0", "iso-8859-1", not standalone) is appended first.
    TXmlElemHeader& Declaration();
    void SetEncoding(std::string encoding);

    void Write(clipforge::XmlOutput& output) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<TXmlElem>> items_;
};

// A small XML document held in memory: prolog and one root element. Text is
// bytes throughout, never converted between charsets.
class TXmlDocument {
public:
    TXmlDocument();
    TXmlDocument(const TXmlDocument&) = delete;
    TXmlDocument& operator=(const TXmlDocument&) = delete;
    ~TXmlDocument();

    TXmlElemClassic& Root() { return *root_; }
    const TXmlElemClassic& Root() const { return *root_; }
    TXmlProlog& Prolog() { return prolog_; }
    const TXmlProlog& Prolog() const { return prolog_; }

    // Replaces the prolog and the root's content with what data holds.
    // Raises EXmlError for malformed data; what was read before the fault
    // stays in the document.
    void Load(std::string_view data);
    // Load of a whole file; EFileError "Cannot open file ..." when it cannot
    // be read.
    void LoadFile(const std::string& path);
    // Load that hands every child of the root to take as soon as it has been
    // read, instead of keeping it, so that a long list never has to be held
    // whole. The root ends without children; the prolog, the root's name and
    // value and every error are as Load gives them.
    void Load(std::string_view data, const TXmlChildSink& take);
    void LoadFile(const std::string& path, const TXmlChildSink& take);

    // Appends the document's bytes (adding a declaration to the prolog when
    // it has none).
    void Save(std::string& output);
    std::string SaveToString();
    // Writes the document to path through a temporary file in the same
    // folder that replaces path only once it is complete. EFileError
    // "Cannot create file ..." or "Cannot open file ..." on failure; the
    // file at path is then unchanged.
    void SaveFile(const std::string& path);
    // Save and SaveFile as if the root's children were followed by the count
    // elements source yields, one at a time.
    void Save(std::string& output, int count, const TXmlChildSource& source);
    void SaveFile(const std::string& path, int count, const TXmlChildSource& source);

private:
    void write(clipforge::XmlOutput& output, int count, const TXmlChildSource& source);
    void load(std::string_view data, const TXmlChildSink* take);

    TXmlProlog prolog_;
    std::unique_ptr<TXmlElemClassic> root_;
};
