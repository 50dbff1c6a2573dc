#include "engine/ProfileCheck.h"

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

}  // namespace clipforge
