#include "engine/ProfileDraft.h"

#include "core/LocalText.h"
#include "engine/CommandLineSplitter.h"
#include "engine/WritingArguments.h"

#include <algorithm>

namespace clipforge {
namespace {

// C0 and C1 controls and DEL; the text is well-formed UTF-8.
bool hasControlCharacter(std::string_view text)
{
    while (!text.empty()) {
        char32_t character = 0;
        const std::size_t length = utf8SequenceLength(text, character);
        if (character < 0x20 || (character >= 0x7F && character <= 0x9F))
            return true;
        text.remove_prefix(length);
    }
    return false;
}

bool wellFormedUtf8(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
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
    if (!wellFormedUtf8(draft.name))
        return "the name holds bytes that are not UTF-8 text";
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
