#pragma once

#include "core/AddedProfiles.h"
#include "core/Paths.h"
#include "core/xml/XmlDocument.h"

#include <string>
#include <vector>

// The catalogue of format profiles, read once from the file "command" in the
// program folder. A profile is an element child of the catalogue's root with
// the children format (display name), params (converter arguments) and ext
// (output extension without the dot); a shipped profile's number is its 0-based
// position. Added profiles (the system's, then the user's) follow the shipped
// ones in every list, each numbered by its id, so a list's rows and profile
// numbers differ: NumberAt and RowOf map between them.
enum class ProfileOrigin { Shipped, System, User };

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

    // Replaces the added profiles of origin (System or User) with profiles,
    // named with the origin's mark at the end.
    void SetAdded(ProfileOrigin origin, const std::vector<clipforge::AddedProfile>& profiles);
    // Reads the system's and the user's files again. A file that cannot be read
    // is left out, the user's own also set aside; what went wrong is appended to
    // problems, one sentence naming the file each.
    void ReloadAdded(std::vector<std::string>& problems,
                     const std::string& systemPath = clipforge::systemProfilesPath(),
                     const std::string& userPath = clipforge::userProfilesPath());

    // The display names, one per row: the shipped profiles, then the added ones.
    const std::vector<std::string>& Names() const { return names_; }
    int Count() const { return static_cast<int>(names_.size()); }
    int ShippedCount() const { return static_cast<int>(profiles_.size()); }

    // The profile number of a row, and the row of a number (-1 when no profile has it).
    int NumberAt(int row) const;
    int RowOf(int number) const;
    bool Has(int number) const { return RowOf(number) >= 0; }
    ProfileOrigin OriginAt(int row) const;
    // The display name of profile number; empty when there is none.
    std::string NameOf(int number) const;
    // The name its owner gave profile number: the display name without its origin's mark.
    std::string GivenNameOf(int number) const;

    // By profile number. EListError "List index out of bounds (%d)" for a number
    // no profile has. A profile lacking the child reads it as empty text.
    std::string GetParams(int number) const;
    std::string GetExt(int number) const;

    static std::string Mark(ProfileOrigin origin);

private:
    std::string childValue(int index, std::string_view childName) const;
    // The added profile with that number; null for a shipped number or one no profile has.
    const clipforge::AddedProfile* added(int number) const;
    void rebuildNames();

    std::vector<std::string> shippedNames_;
    std::vector<clipforge::AddedProfile> system_;
    std::vector<clipforge::AddedProfile> user_;
    std::vector<std::string> names_;
    TXmlDocument document_;
    // Element children of the root only: a comment or stray text between
    // profiles must not shift the positions that jobs and list files store.
    std::vector<const TXmlElem*> profiles_;
};
