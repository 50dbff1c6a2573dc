#include "controls/PngImageCollectionItems.h"

#include <algorithm>

TPngImageCollectionItems::TPngImageCollectionItems(std::function<void()> onChange)
    : onChange_(std::move(onChange))
{
}

TPngImageCollectionItem* TPngImageCollectionItems::Items(int index)
{
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

const TPngImageCollectionItem* TPngImageCollectionItems::Items(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

TPngImageCollectionItem* TPngImageCollectionItems::Add()
{
    return Insert(Count());
}

TPngImageCollectionItem* TPngImageCollectionItems::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    // The name takes the index the item gets at creation and keeps it afterwards.
    auto item = std::make_unique<TPngImageCollectionItem>(this, index);
    TPngImageCollectionItem* added = item.get();
    items_.insert(items_.begin() + index, std::move(item));
    changed();
    return added;
}

void TPngImageCollectionItems::Delete(int index)
{
    if (Items(index) == nullptr)
        return;
    items_.erase(items_.begin() + index);
    changed();
}

void TPngImageCollectionItems::Move(int from, int to)
{
    if (Items(from) == nullptr || Items(to) == nullptr || from == to)
        return;
    auto item = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
    changed();
}

void TPngImageCollectionItems::Clear()
{
    if (items_.empty())
        return;
    items_.clear();
    changed();
}

void TPngImageCollectionItems::Assign(const TPngImageCollectionItems& source)
{
    if (&source == this)
        return;
    items_.clear();
    for (const auto& item : source.items_) {
        auto copy = std::make_unique<TPngImageCollectionItem>(this, 0);
        copy->copyFrom(*item);
        items_.push_back(std::move(copy));
    }
    changed();
}

void TPngImageCollectionItems::changed()
{
    if (onChange_)
        onChange_();
}
