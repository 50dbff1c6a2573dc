#include "engine/ProfileCheck.h"

#include "engine/CommandLineSplitter.h"
#include "engine/WritingArguments.h"

namespace clipforge {

bool usableExtension(const std::string& ext)
{
    return ext != "." && ext != ".." && ext.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

std::string unusableExtensionReason(int profile)
{
    return "profile " + std::to_string(profile) + " has an unusable extension";
}

bool usableParams(const std::string& params)
{
    return params.find('\0') == std::string::npos;
}

std::string unusableParamsReason(int profile)
{
    return "profile " + std::to_string(profile) + " has unusable arguments";
}

std::string unusableArgument(const std::string& params)
{
    return argumentWritingElsewhere(splitCommandLine(params));
}

std::string unusableArgumentReason(int profile, const std::string& argument)
{
    return unusableParamsReason(profile) + ": " + argument;
}

}  // namespace clipforge
