#include "ProfileChoice.h"

#include "core/CommandManager.h"
#include "core/ConvertError.h"
#include "engine/CommandLineSplitter.h"

#include <QString>

#include <vector>

namespace clipforge {
namespace {

const char* const ListHint = "; 'clipforge-batch profiles' lists them";

bool sameExtension(const std::string& wanted, const std::string& ext)
{
    const std::string bare = !wanted.empty() && wanted.front() == '.' ? wanted.substr(1) : wanted;
    return !bare.empty() && QString::fromUtf8(bare).compare(QString::fromUtf8(ext), Qt::CaseInsensitive) == 0;
}

// A profile that copies every stream is never the one an extension stands for: "mkv" meant a
// conversion before such profiles were shipped, and a list made with it must keep meaning that.
bool copiesStreams(const std::string& params)
{
    const std::vector<std::string> arguments = splitCommandLine(params);
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if ((arguments[i] == "-c" || arguments[i] == "-codec") && arguments[i + 1] == "copy")
            return true;
    }
    return false;
}

// The numbers of the profiles that match, in list order.
std::vector<int> matching(const TCommandManager& catalogue, const auto& matches)
{
    std::vector<int> found;
    for (int row = 0; row < catalogue.Count(); ++row) {
        if (matches(catalogue.NumberAt(row)))
            found.push_back(catalogue.NumberAt(row));
    }
    return found;
}

ProfileChoice byNumber(int number, const TCommandManager& catalogue)
{
    if (catalogue.Has(number))
        return {number, {}};
    return {std::nullopt, "there is no profile " + std::to_string(number) + " in the catalogue" + ListHint};
}

ProfileChoice oneOf(const std::string& wanted, const std::vector<int>& found, const TCommandManager& catalogue)
{
    if (found.size() == 1)
        return {found.front(), {}};
    std::string names;
    for (int i : found)
        names += (names.empty() ? "" : ", ") + std::to_string(i) + " (" + catalogue.NameOf(i) + ")";
    return {std::nullopt, "--profile " + wanted + " fits several profiles: " + names + "; give the number of one"};
}

}  // namespace

ProfileChoice chooseProfile(const std::string& wanted, const TCommandManager& catalogue)
{
    try {
        return byNumber(textToInt(wanted), catalogue);
    } catch (const EConvertError&) {
    }
    // The listing marks added profiles with their origin; their owners know them without it.
    const std::vector<int> named = matching(
        catalogue, [&](int i) { return catalogue.NameOf(i) == wanted || catalogue.GivenNameOf(i) == wanted; });
    if (!named.empty())
        return oneOf(wanted, named, catalogue);
    const std::vector<int> extension = matching(catalogue, [&](int i) {
        return sameExtension(wanted, catalogue.GetExt(i)) && !copiesStreams(catalogue.GetParams(i));
    });
    if (!extension.empty())
        return oneOf(wanted, extension, catalogue);
    return {std::nullopt,
            "no profile is called \"" + wanted + "\" or has the extension \"" + wanted + "\"" + ListHint};
}

}  // namespace clipforge
