#include "engine/GuardedStringList.h"

#include <stdexcept>

namespace clipforge {

std::string_view GuardedStringList::entry(std::size_t index) const
{
    const std::size_t position = removed_ + index;
    const std::size_t begin = position == 0 ? 0 : ends_[position - 1];
    return std::string_view(text_).substr(begin, ends_[position] - begin);
}

void GuardedStringList::add(std::string_view text)
{
    std::lock_guard lock(mutex_);
    text_.append(text);
    ends_.push_back(text_.size());
}

void GuardedStringList::clear()
{
    std::lock_guard lock(mutex_);
    text_ = {};
    ends_ = {};
    removed_ = 0;
}

std::size_t GuardedStringList::count() const
{
    std::lock_guard lock(mutex_);
    return ends_.size() - removed_;
}

bool GuardedStringList::empty() const { return count() == 0; }

std::string GuardedStringList::at(std::size_t index) const
{
    std::lock_guard lock(mutex_);
    if (index >= ends_.size() - removed_)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return std::string(entry(index));
}

std::vector<std::string> GuardedStringList::items() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    result.reserve(ends_.size() - removed_);
    for (std::size_t i = 0; i < ends_.size() - removed_; ++i)
        result.emplace_back(entry(i));
    return result;
}

std::optional<std::string> GuardedStringList::first() const
{
    std::lock_guard lock(mutex_);
    if (ends_.size() == removed_)
        return std::nullopt;
    return std::string(entry(0));
}

void GuardedStringList::removeFirst()
{
    std::lock_guard lock(mutex_);
    if (ends_.size() == removed_)
        return;
    ++removed_;
    if (removed_ * 2 < ends_.size())
        return;
    // Compacted once half the entries are gone, so a long-lived input queue
    // neither grows without bound nor costs a move per line.
    const std::size_t dropped = ends_[removed_ - 1];
    text_.erase(0, dropped);
    ends_.erase(ends_.begin(), ends_.begin() + static_cast<std::ptrdiff_t>(removed_));
    for (auto& end : ends_)
        end -= dropped;
    removed_ = 0;
}

}  // namespace clipforge
