#pragma once

#include "core/Paths.h"
#include "core/xml/XmlDocument.h"

#include <string>
#include <vector>

// The catalogue of format profiles, read once from the file "command" in the
// program folder. A profile is an element child of the catalogue's root with
// the children format (display name), params (converter arguments) and ext
// (output extension without the dot); everything refers to a profile by its
// 0-based position.
class TCommandManager {
public:
    explicit TCommandManager(const std::string& programFolder = clipforge::programFolder());
    // An empty catalogue, for profiles added with AddProfile.
    struct Empty {};
    explicit TCommandManager(Empty) {}
    TCommandManager(const TCommandManager&) = delete;
    TCommandManager& operator=(const TCommandManager&) = delete;

    // Reads the catalogue at path; a missing file leaves the catalogue empty.
    // EXmlError or EFileError when the file cannot be read.
    void LoadCatalogue(const std::string& path);
    // Appends a profile held in memory only, as a job that carries its own arguments needs.
    void AddProfile(const std::string& format, const std::string& params, const std::string& ext);

    // The display names, in catalogue order: Names()[i] names profile i.
    const std::vector<std::string>& Names() const { return names_; }
    int Count() const { return static_cast<int>(profiles_.size()); }

    // EListError "List index out of bounds (%d)" for an index outside the
    // catalogue. A profile lacking the child reads it as empty text.
    std::string GetParams(int index) const;
    std::string GetExt(int index) const;

private:
    std::string childValue(int index, std::string_view childName) const;

    std::vector<std::string> names_;
    TXmlDocument document_;
    // Element children of the root only: a comment or stray text between
    // profiles must not shift the positions that jobs and list files store.
    std::vector<const TXmlElem*> profiles_;
};
