#include "core/ItemManager.h"

#include "core/ConvertError.h"
#include "core/Errors.h"
#include "core/xml/XmlDocument.h"

#include <string>

TItemManager::TItemManager() : Document(std::make_unique<TXmlDocument>())
{
    Document->Root().SetName("list");
}

TItemManager::~TItemManager() = default;

void TItemManager::AddItem(const std::string& fileName, int formatIndex, const std::string& path)
{
    TXmlElemClassic& item = Document->Root().Children().AddChild("item");
    item.Children().AddChild("filename").SetValue(fileName);
    item.Children().AddChild("format").SetValue(std::to_string(formatIndex));
    item.Children().AddChild("path").SetValue(path);
}

int TItemManager::GetFormat(int i) const
{
    return clipforge::textToInt(childValue(i, "format"));
}

std::string TItemManager::GetPath(int i) const
{
    return childValue(i, "path");
}

int TItemManager::Count() const
{
    return Document->Root().Children().Count();
}

void TItemManager::Clear()
{
    Document->Root().Clear();
}

std::string TItemManager::childValue(int i, const char* name) const
{
    const TXmlElem* child = Document->Root().Children().Item(i).Children().FindChild(name);
    return child ? child->Value() : std::string();
}
