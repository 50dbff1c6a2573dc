#include "core/CommandManager.h"

#include "core/Errors.h"

TCommandManager::TCommandManager(const std::string& programFolder)
{
    LoadCatalogue(programFolder + "command");
}

void TCommandManager::LoadCatalogue(const std::string& path)
{
    if (!clipforge::fileExists(path))
        return;
    names_.clear();
    profiles_.clear();
    document_.LoadFile(path);
    for (const auto& child : document_.Root().Children()) {
        if (child->Kind() != XmlElemKind::Classic)
            continue;
        profiles_.push_back(child.get());
        const TXmlElem* format = child->Children().FindChild("format");
        names_.push_back(format ? format->Value() : std::string());
    }
}

void TCommandManager::AddProfile(const std::string& format, const std::string& params, const std::string& ext)
{
    TXmlElemClassic& profile = document_.Root().Children().AddChild("profile");
    profile.Children().AddChild("format").SetValue(format);
    profile.Children().AddChild("params").SetValue(params);
    profile.Children().AddChild("ext").SetValue(ext);
    profiles_.push_back(&profile);
    names_.push_back(format);
}

std::string TCommandManager::GetParams(int index) const
{
    return childValue(index, "params");
}

std::string TCommandManager::GetExt(int index) const
{
    return childValue(index, "ext");
}

std::string TCommandManager::childValue(int index, std::string_view childName) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
    const TXmlElem* child = profiles_[static_cast<size_t>(index)]->Children().FindChild(childName);
    return child ? child->Value() : std::string();
}
