#include "engine/ProfileDraft.h"

#include "engine/CommandLineSplitter.h"
#include "engine/WritingArguments.h"

#include <algorithm>

namespace clipforge {
namespace {

bool hasControlCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool safeExtension(const std::string& ext)
{
    const auto allowed = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
               c == '_' || c == '+';
    };
    return !ext.empty() && ext.size() <= 16 && ext.front() != '.' && ext.back() != '.' &&
           std::all_of(ext.begin(), ext.end(), allowed);
}

bool plainArgument(const std::string& argument)
{
    return !argument.empty() && argument.find_first_of(" \t\"\\") == std::string::npos;
}

}  // namespace

std::string refuseDraft(ProfileDraft& draft)
{
    if (draft.name.find_first_not_of(' ') == std::string::npos)
        return "the profile needs a name";
    if (hasControlCharacter(draft.name))
        return "the name holds a control character";
    if (!safeExtension(draft.ext))
        return "the extension \"" + draft.ext +
               "\" is unusable: use 1 to 16 letters, digits, \".\", \"-\", \"_\" or \"+\", not starting or "
               "ending with \".\"";
    if (draft.params.find('\0') != std::string::npos)
        return "the arguments hold a NUL byte";
    bool quoteLeftOpen = false;
    const std::vector<std::string> arguments = splitCommandLine(draft.params, quoteLeftOpen);
    if (quoteLeftOpen)
        return "the arguments do not split: a double quote is left open";
    if (const std::string argument = argumentWritingElsewhere(arguments); !argument.empty())
        return "the profile has unusable arguments: " + argument;
    if (std::find(arguments.begin(), arguments.end(), "-n") == arguments.end())
        draft.params = draft.params.empty() ? "-n" : "-n " + draft.params;
    return {};
}

std::string joinArguments(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments)
        text += (text.empty() ? "" : " ") + (plainArgument(argument) ? argument : quoteArgument(argument));
    return text;
}

}  // namespace clipforge
