#include "ShellCommand.h"

#include "core/Errors.h"

#include <algorithm>
#include <string_view>

namespace clipforge {
namespace {

bool isPlain(char c)
{
    constexpr std::string_view Plain = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-+%@,./:";
    return Plain.find(c) != std::string_view::npos;
}

}  // namespace

std::string shellQuote(const std::string& argument)
{
    // "=" is quoted too: as the first word, "NAME=value" would be an assignment, not a command.
    if (!argument.empty() && std::all_of(argument.begin(), argument.end(), isPlain))
        return argument;
    std::string quoted = "'";
    for (char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string shellCommand(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (argument.find('\n') != std::string::npos)
            throw Error("a name holding a line break cannot be written on one line of a plan");
        line += shellQuote(argument) + ' ';
    }
    return line + "</dev/null";
}

}  // namespace clipforge
