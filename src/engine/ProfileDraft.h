#pragma once

#include <string>
#include <vector>

namespace clipforge {

// A user profile as the editor or 'profiles add' is about to save it.
struct ProfileDraft {
    std::string name;
    std::string ext;
    std::string params;
};

// Why draft cannot be saved, as a sentence; empty when it can, after "-n" has been put first in
// its arguments where they lack it (the converter must never overwrite). Refused: an empty name,
// one that is not UTF-8 text or one holding control characters (C0, DEL, C1); an extension that is empty, longer than 16 bytes, starts
// with a dot or holds anything but ASCII letters, digits, ".", "-", "_" and "+"; arguments that
// hold a NUL byte, leave a double quote open, or would have the converter write elsewhere than
// its output (argumentWritingElsewhere).
std::string refuseDraft(ProfileDraft& draft);

// Arguments given one by one, as one text that splits back into exactly them.
std::string joinArguments(const std::vector<std::string>& arguments);

}  // namespace clipforge
