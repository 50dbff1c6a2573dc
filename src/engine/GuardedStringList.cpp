#include "engine/GuardedStringList.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace clipforge {

namespace {

// Small lists (input lines, a short run) stay small; a flood of output soon
// reaches blocks large enough that allocating them costs nothing per line.
constexpr std::size_t FirstBlockSize = 4096;
// The size of a huge page: filling fresh memory one small page at a time
// costs more than copying the text into it, so the largest blocks ask the
// system for huge pages where it offers them on request.
constexpr std::size_t LargestBlockSize = std::size_t(2) << 20;

}  // namespace

char* GuardedStringList::allocateBlock(std::size_t capacity)
{
    const bool huge = capacity % LargestBlockSize == 0;
    // Left uninitialised: every byte is written before it is read.
    void* bytes = huge ? std::aligned_alloc(LargestBlockSize, capacity) : std::malloc(capacity);
    if (!bytes)
        throw std::bad_alloc();
    if (huge)
        preferHugePages(bytes, capacity);
    return static_cast<char*>(bytes);
}

void GuardedStringList::FreeBlock::operator()(char* bytes) const { std::free(bytes); }

GuardedStringList::Block& GuardedStringList::blockWithRoom(std::size_t size)
{
    if (!blocks_.empty() && blocks_.back().capacity - blocks_.back().used >= size)
        return blocks_.back();
    const std::size_t next = blocks_.empty() ? FirstBlockSize : std::min(blocks_.back().capacity * 2, LargestBlockSize);
    const std::size_t capacity = std::max(next, size);
    return blocks_.emplace_back(Block{std::unique_ptr<char[], FreeBlock>(allocateBlock(capacity)), capacity, 0, 0});
}

void GuardedStringList::add(std::string_view text)
{
    std::lock_guard lock(mutex_);
    Block& block = blockWithRoom(text.size());
    char* const where = block.bytes.get() + block.used;
    if (!text.empty())
        std::memcpy(where, text.data(), text.size());
    entries_.push_back({where, text.size()});
    block.used += text.size();
    ++block.entries;
    bytes_ += text.size();
    while (byteLimit_ > 0 && bytes_ > byteLimit_ && entries_.size() > 1)
        dropFirst();
}

void GuardedStringList::clear()
{
    std::lock_guard lock(mutex_);
    entries_.clear();
    blocks_.clear();
    bytes_ = 0;
}

std::size_t GuardedStringList::count() const
{
    std::lock_guard lock(mutex_);
    return entries_.size();
}

bool GuardedStringList::empty() const { return count() == 0; }

std::string GuardedStringList::at(std::size_t index) const
{
    std::lock_guard lock(mutex_);
    if (index >= entries_.size())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return std::string(entries_[index].text, entries_[index].size);
}

std::vector<std::string> GuardedStringList::items() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const Entry& entry : entries_)
        result.emplace_back(entry.text, entry.size);
    return result;
}

std::optional<std::string> GuardedStringList::first() const
{
    std::lock_guard lock(mutex_);
    if (entries_.empty())
        return std::nullopt;
    return std::string(entries_.front().text, entries_.front().size);
}

void GuardedStringList::removeFirst()
{
    std::lock_guard lock(mutex_);
    if (!entries_.empty())
        dropFirst();
}

void GuardedStringList::dropFirst()
{
    bytes_ -= entries_.front().size;
    entries_.pop_front();
    // Texts are stored in order, so the first one always lives in the first
    // block. An input queue that is filled and emptied for hours thus holds
    // no more than the blocks its waiting lines need.
    Block& front = blocks_.front();
    if (--front.entries > 0)
        return;
    if (blocks_.size() > 1)
        blocks_.pop_front();
    else
        front.used = 0;
}

}  // namespace clipforge
