#include "WatchConfig.h"

#include "BatchArguments.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

namespace clipforge {
namespace {

struct Key {
    const char* option;
    bool repeatable;
    bool path;
};

const std::map<std::string, Key> Keys{
    {"watch", {"", true, true}},          {"profile", {"--profile", false, false}},
    {"output", {"--folder", false, true}}, {"jobs", {"--jobs", false, false}},
    {"check", {"--check", false, false}}, {"settle", {"--settle", false, false}},
    {"rescan", {"--rescan", false, false}}, {"ignore", {"--ignore", true, false}},
};

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    return home && *home ? home : "";
}

// "~/" stands for the home folder; anything else must be absolute.
std::string folderValue(const std::string& value, const std::string& where)
{
    if (value.rfind("~/", 0) == 0 && !homeFolder().empty())
        return homeFolder() + value.substr(1);
    if (value.empty() || value.front() != '/')
        throw BatchUsageError(where + "a folder must be an absolute path or start with ~/, not \"" + value + "\"");
    return value;
}

}  // namespace

std::vector<WatchConfigLine> readWatchConfig(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw BatchUsageError("the watch configuration " + path + " cannot be read");
    std::vector<WatchConfigLine> lines;
    std::set<std::string> given;
    std::string text;
    for (int number = 1; std::getline(file, text); ++number) {
        const std::string line = trimmed(text);
        if (line.empty() || line.front() == '#')
            continue;
        const std::string where = path + " line " + std::to_string(number) + ": ";
        const std::size_t equals = line.find('=');
        const auto key = Keys.find(equals == std::string::npos ? line : trimmed(line.substr(0, equals)));
        if (equals == std::string::npos || key == Keys.end())
            throw BatchUsageError(where + "expected KEY=VALUE with KEY one of watch, profile, output, jobs, check, "
                                          "settle, rescan, ignore; not \"" + line + "\"");
        if (!key->second.repeatable && !given.insert(key->first).second)
            throw BatchUsageError(where + key->first + "= is given twice");
        const std::string value = trimmed(line.substr(equals + 1));
        lines.push_back({number, key->second.option, key->second.path ? folderValue(value, where) : value});
    }
    return lines;
}

}  // namespace clipforge
