#include "engine/CommandLineSplitter.h"

namespace clipforge {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& commandLine)
{
    bool quoteLeftOpen = false;
    return splitCommandLine(commandLine, quoteLeftOpen);
}

std::vector<std::string> splitCommandLine(const std::string& commandLine, bool& quoteLeftOpen)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    const std::size_t length = commandLine.size();
    std::size_t i = 0;
    while (i < length) {
        const char c = commandLine[i];
        if (isSeparator(c) && !quoted) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t count = 0;
            while (i < length && commandLine[i] == '\\') {
                ++count;
                ++i;
            }
            if (i < length && commandLine[i] == '"') {
                current.append(count / 2, '\\');
                if (count % 2 == 1) {
                    current.push_back('"');
                    ++i;
                }
            } else {
                current.append(count, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < length && commandLine[i + 1] == '"') {
                current.push_back('"');
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current.push_back(c);
        ++i;
    }
    if (inArgument)
        arguments.push_back(std::move(current));
    quoteLeftOpen = quoted;
    return arguments;
}

std::string quoteArgument(const std::string& argument)
{
    std::string result;
    result.reserve(argument.size() + 2);
    result.push_back('"');
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // Every backslash before a quote must be doubled, and the quote escaped.
            result.append(backslashes * 2 + 1, '\\');
        } else {
            result.append(backslashes, '\\');
        }
        backslashes = 0;
        result.push_back(c);
    }
    // Trailing backslashes sit before the closing quote, so they are doubled too.
    result.append(backslashes * 2, '\\');
    result.push_back('"');
    return result;
}

}  // namespace clipforge
