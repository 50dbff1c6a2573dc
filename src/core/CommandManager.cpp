#include "core/CommandManager.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/KeptQueueFile.h"

#include <algorithm>

TCommandManager::TCommandManager(const std::string& programFolder)
{
    LoadCatalogue(programFolder + "command");
}

void TCommandManager::LoadCatalogue(const std::string& path)
{
    if (!clipforge::fileExists(path))
        return;
    shippedNames_.clear();
    profiles_.clear();
    document_.LoadFile(path);
    for (const auto& child : document_.Root().Children()) {
        if (child->Kind() != XmlElemKind::Classic)
            continue;
        profiles_.push_back(child.get());
        const TXmlElem* format = child->Children().FindChild("format");
        shippedNames_.push_back(format ? format->Value() : std::string());
    }
    rebuildNames();
}

void TCommandManager::SetAdded(ProfileOrigin origin, const std::vector<clipforge::AddedProfile>& profiles)
{
    (origin == ProfileOrigin::System ? system_ : user_) = profiles;
    rebuildNames();
}

void TCommandManager::ReloadAdded(std::vector<std::string>& problems, const std::string& systemPath,
                                  const std::string& userPath)
{
    for (const auto& [origin, path] : {std::pair{ProfileOrigin::System, systemPath}, std::pair{ProfileOrigin::User, userPath}}) {
        std::vector<clipforge::AddedProfile> read;
        try {
            read = clipforge::readAddedProfiles(path);
        } catch (const std::exception& error) {
            // The administrator's file stays where it is, even for root: only its owner mends it.
            // What is not a regular file is no broken list of profiles, and nothing will write
            // over it: it stays too.
            std::string aside;
            try {
                if (origin == ProfileOrigin::User && clipforge::fileStatus(path).kind == clipforge::FileKind::Regular)
                    aside = clipforge::setAside(path);
            } catch (const std::exception&) {
                // Left where it is; it is still left out.
            }
            problems.push_back("The profiles in " + path + " cannot be read (" + error.what() + "); " +
                               (aside.empty() ? "they are left out." : "the file was moved to " + aside + "."));
        }
        // An id already taken (the system's, when a user copied its file) keeps its first owner.
        const bool fromUser = origin == ProfileOrigin::User;
        std::erase_if(read, [&](const clipforge::AddedProfile& profile) {
            return fromUser && std::any_of(system_.begin(), system_.end(), [&](const auto& taken) {
                       return taken.id == profile.id;
                   });
        });
        SetAdded(origin, read);
    }
}

void TCommandManager::AddProfile(const std::string& format, const std::string& params, const std::string& ext)
{
    TXmlElemClassic& profile = document_.Root().Children().AddChild("profile");
    profile.Children().AddChild("format").SetValue(format);
    profile.Children().AddChild("params").SetValue(params);
    profile.Children().AddChild("ext").SetValue(ext);
    profiles_.push_back(&profile);
    shippedNames_.push_back(format);
    rebuildNames();
}

void TCommandManager::rebuildNames()
{
    names_ = shippedNames_;
    for (const auto& profile : system_)
        names_.push_back(profile.name + Mark(ProfileOrigin::System));
    for (const auto& profile : user_)
        names_.push_back(profile.name + Mark(ProfileOrigin::User));
}

std::string TCommandManager::Mark(ProfileOrigin origin)
{
    switch (origin) {
    case ProfileOrigin::System:
        return " [system]";
    case ProfileOrigin::User:
        return " [mine]";
    case ProfileOrigin::Shipped:
        break;
    }
    return {};
}

int TCommandManager::NumberAt(int row) const
{
    const int shipped = ShippedCount();
    const int system = static_cast<int>(system_.size());
    if (row < 0 || row >= Count())
        return -1;
    if (row < shipped)
        return row;
    if (row < shipped + system)
        return system_[static_cast<size_t>(row - shipped)].id;
    return user_[static_cast<size_t>(row - shipped - system)].id;
}

int TCommandManager::RowOf(int number) const
{
    if (number >= 0 && number < ShippedCount())
        return number;
    if (number < clipforge::FirstAddedProfileId)
        return -1;
    int row = ShippedCount();
    for (const auto* list : {&system_, &user_}) {
        for (const auto& profile : *list) {
            if (profile.id == number)
                return row;
            ++row;
        }
    }
    return -1;
}

std::string TCommandManager::GivenNameOf(int number) const
{
    const int row = RowOf(number);
    if (row < 0)
        return {};
    const std::string& name = names_[static_cast<size_t>(row)];
    return name.substr(0, name.size() - Mark(OriginAt(row)).size());
}

ProfileOrigin TCommandManager::OriginAt(int row) const
{
    if (row < ShippedCount())
        return ProfileOrigin::Shipped;
    return row < ShippedCount() + static_cast<int>(system_.size()) ? ProfileOrigin::System : ProfileOrigin::User;
}

std::string TCommandManager::NameOf(int number) const
{
    const int row = RowOf(number);
    return row < 0 ? std::string() : names_[static_cast<size_t>(row)];
}

const clipforge::AddedProfile* TCommandManager::added(int number) const
{
    const int row = RowOf(number);
    if (row < ShippedCount())
        return nullptr;
    const auto at = static_cast<size_t>(row - ShippedCount());
    return at < system_.size() ? &system_[at] : &user_[at - system_.size()];
}

std::string TCommandManager::GetParams(int number) const
{
    if (const clipforge::AddedProfile* profile = added(number))
        return profile->params;
    return childValue(number, "params");
}

std::string TCommandManager::GetExt(int number) const
{
    if (const clipforge::AddedProfile* profile = added(number))
        return profile->ext;
    return childValue(number, "ext");
}

std::string TCommandManager::childValue(int index, std::string_view childName) const
{
    if (index < 0 || index >= ShippedCount())
        throw EListError(index);
    const TXmlElem* child = profiles_[static_cast<size_t>(index)]->Children().FindChild(childName);
    return child ? child->Value() : std::string();
}
