#pragma once

#include <string>
#include <vector>

namespace clipforge {

// A profile added beside the shipped catalogue, by the administrator for every user or by the
// user alone. Its id is its number everywhere (list files, jobs, the command line): given once,
// never reused, so a saved list never ends up naming another profile.
struct AddedProfile {
    int id = 0;
    std::string name;
    std::string params;
    std::string ext;
};

inline constexpr int FirstAddedProfileId = 1 << 20;

// The profiles of an added-profiles file, in file order; a missing file holds none.
// EXmlError, EFileError, or clipforge::Error when a profile lacks a usable <id> or repeats one.
std::vector<AddedProfile> readAddedProfiles(const std::string& path);

// Writes profiles to path whole (through a temporary file); its folder must exist.
void writeAddedProfiles(const std::string& path, const std::vector<AddedProfile>& profiles);

// The administrator's file for every user: /etc/clipforge/profiles, or CLIPFORGE_SYSTEM_PROFILES
// where set (for tests and for trying a file out).
std::string systemProfilesPath();
// The user's own: $XDG_CONFIG_HOME/clipforge/profiles (~/.config/clipforge/profiles).
std::string userProfilesPath();

}  // namespace clipforge
