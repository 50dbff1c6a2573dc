#pragma once

#include <string>

// What makes a profile of the catalogue unfit to name or run a job. The catalogue still loads
// such a profile; only the jobs that ask for it fail, before any process starts, with the
// reason given here.
namespace clipforge {

// False for an extension that would put the output elsewhere or cut its name short: one holding
// a "/" or a NUL byte, and "." or "..".
bool usableExtension(const std::string& ext);
// "profile N has an unusable extension"
std::string unusableExtensionReason(int profile);

// False for converter arguments holding a NUL byte: the converter would see them cut short.
bool usableParams(const std::string& params);
// "profile N has unusable arguments"
std::string unusableParamsReason(int profile);

// The first of params' arguments that would have the converter write elsewhere than its output
// (see argumentWritingElsewhere); empty when there is none.
std::string unusableArgument(const std::string& params);
// "profile N has unusable arguments: ARGUMENT"
std::string unusableArgumentReason(int profile, const std::string& argument);

}  // namespace clipforge
