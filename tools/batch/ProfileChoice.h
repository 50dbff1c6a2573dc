#pragma once

#include <optional>
#include <string>

class TCommandManager;

namespace clipforge {

// The profile a user named on the command line, or why none could be chosen.
struct ProfileChoice {
    std::optional<int> index;
    std::string problem;  // a plain sentence when index is empty
};

// wanted is a profile's number, its exact display name or the name its owner gave it (without
// the listing's " [mine]" or " [system]"), or an extension that only one profile has ("mp3" or
// ".mp3", letter case ignored), tried in that order; a name several profiles answer to is refused
// with their numbers. Profiles that copy every
// stream instead of converting are reached by number or name only.
ProfileChoice chooseProfile(const std::string& wanted, const TCommandManager& catalogue);

}  // namespace clipforge
