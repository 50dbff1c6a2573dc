#include "core/AddedProfiles.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/xml/FileIo.h"
#include "core/xml/XmlDocument.h"

#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <set>

namespace clipforge {
namespace {

std::string childText(const TXmlElem& profile, std::string_view name)
{
    const TXmlElem* child = profile.Children().FindChild(name);
    return child ? child->Value() : std::string();
}

int profileId(const TXmlElem& profile, int position)
{
    const std::string text = childText(profile, "id");
    char* end = nullptr;
    errno = 0;
    const long long id = text.empty() ? 0 : std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || id < FirstAddedProfileId || id > 0x7FFFFFFF)
        throw Error("profile " + std::to_string(position + 1) + " has no usable <id> (a number from " +
                    std::to_string(FirstAddedProfileId) + " to 2147483647)");
    return static_cast<int>(id);
}

}  // namespace

std::vector<AddedProfile> readAddedProfiles(const std::string& path)
{
    std::vector<AddedProfile> profiles;
    if (!pathOccupied(path))
        return profiles;
    TXmlDocument document;
    document.Load(readRegularFile(path));
    // The reader takes text without any element for an empty document; rewritten as one, the
    // file would lose whatever the user had there.
    if (document.Root().Name().empty() && fileStatus(path).size > 0)
        throw Error("it holds no root element");
    std::set<int> ids;
    for (const auto& child : document.Root().Children()) {
        if (child->Kind() != XmlElemKind::Classic)
            continue;
        const int id = profileId(*child, static_cast<int>(profiles.size()));
        if (!ids.insert(id).second)
            throw Error("the id " + std::to_string(id) + " is given to two profiles");
        profiles.push_back({id, childText(*child, "format"), childText(*child, "params"), childText(*child, "ext")});
    }
    return profiles;
}

void writeAddedProfiles(const std::string& path, const std::vector<AddedProfile>& profiles)
{
    TXmlDocument document;
    document.Prolog().SetEncoding("UTF-8");
    document.Root().SetName("commands");
    for (const AddedProfile& profile : profiles) {
        TXmlElemClassic& element = document.Root().Children().AddChild("profile");
        element.Children().AddChild("id").SetValue(std::to_string(profile.id));
        element.Children().AddChild("format").SetValue(profile.name);
        element.Children().AddChild("params").SetValue(profile.params);
        element.Children().AddChild("ext").SetValue(profile.ext);
    }
    document.SaveFile(path);
}

std::string systemProfilesPath()
{
    const char* chosen = std::getenv("CLIPFORGE_SYSTEM_PROFILES");
    return chosen && *chosen ? std::string(chosen) : std::string("/etc/clipforge/profiles");
}

std::string userProfilesPath()
{
    return narrow(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) +
           "/clipforge/profiles";
}

}  // namespace clipforge
