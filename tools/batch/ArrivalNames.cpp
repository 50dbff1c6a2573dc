#include "ArrivalNames.h"

#include "core/FileSystem.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/VideoFiles.h"

#include <algorithm>
#include <array>

namespace clipforge {
namespace {

// What browsers, download managers, copy tools and torrent clients call a file until it is whole.
constexpr std::array PartialSuffixes{".part", ".partial", ".crdownload", ".download", ".filepart", ".opdownload",
                                     ".tmp", ".!qb"};

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// The name the file will have once its downloader renames it; empty when it has no partial suffix.
std::string finishedName(const std::string& name)
{
    const std::string lower = lowerCase(name);
    for (const std::string_view suffix : PartialSuffixes) {
        if (lower.size() > suffix.size() && lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0)
            return name.substr(0, name.size() - suffix.size());
    }
    return {};
}

}  // namespace

ArrivalNames::ArrivalNames(const std::vector<std::string>& ignored)
{
    for (const std::string& pattern : ignored) {
        ignored_.emplace_back(pattern,
                              QRegularExpression(QRegularExpression::wildcardToRegularExpression(widen(pattern))));
    }
}

std::string ArrivalNames::waitingReason(const std::string& path) const
{
    const std::string name = fileNamePart(path);
    const std::string unfinished = finishedName(name);
    if (!unfinished.empty())
        return isVideoFileName(unfinished) ? "a partial-download name (" + name.substr(unfinished.size()) + ")" : NotVideo;
    if (!isVideoFileName(name))
        return NotVideo;
    if (name.front() == '.')
        return "a hidden name";
    const QString wideName = widen(name);
    for (const auto& [pattern, expression] : ignored_) {
        if (expression.match(wideName).hasMatch())
            return "matches --ignore " + pattern;
    }
    if (fileStatus(path + ".aria2", FinalLink::Examined).exists())
        return "still being downloaded (" + name + ".aria2 is beside it)";
    return {};
}

}  // namespace clipforge
