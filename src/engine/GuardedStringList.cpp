#include "engine/GuardedStringList.h"

#include <stdexcept>

namespace clipforge {

void GuardedStringList::add(std::string text)
{
    std::lock_guard lock(mutex_);
    items_.push_back(std::move(text));
}

void GuardedStringList::clear()
{
    std::lock_guard lock(mutex_);
    items_.clear();
}

std::size_t GuardedStringList::count() const
{
    std::lock_guard lock(mutex_);
    return items_.size();
}

bool GuardedStringList::empty() const { return count() == 0; }

std::string GuardedStringList::at(std::size_t index) const
{
    std::lock_guard lock(mutex_);
    return items_.at(index);
}

std::vector<std::string> GuardedStringList::items() const
{
    std::lock_guard lock(mutex_);
    return items_;
}

std::optional<std::string> GuardedStringList::first() const
{
    std::lock_guard lock(mutex_);
    if (items_.empty())
        return std::nullopt;
    return items_.front();
}

void GuardedStringList::removeFirst()
{
    std::lock_guard lock(mutex_);
    if (!items_.empty())
        items_.erase(items_.begin());
}

void GuardedStringList::replaceFirst(std::string text)
{
    std::lock_guard lock(mutex_);
    if (!items_.empty())
        items_.front() = std::move(text);
}

}  // namespace clipforge
