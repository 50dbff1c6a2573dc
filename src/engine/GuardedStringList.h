#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clipforge {

// A list of texts that the main thread and a runner's worker may both use at
// any time. Readers get copies, never references into the list. The texts sit
// back to back in large blocks that never move once written: a converter that
// writes hundreds of thousands of lines costs neither an allocation per line
// nor the copying and page faults of one buffer that keeps doubling.
class GuardedStringList {
public:
    // A list with a limit keeps only its newest texts, as many as fit in limit bytes (always
    // at least the newest one); without one it keeps everything.
    explicit GuardedStringList(std::size_t byteLimit = 0) : byteLimit_(byteLimit) {}

    void add(std::string_view text);
    void clear();
    std::size_t count() const;
    bool empty() const;
    std::string at(std::size_t index) const;
    std::vector<std::string> items() const;

    std::optional<std::string> first() const;
    void removeFirst();

private:
    struct FreeBlock {
        void operator()(char* bytes) const;
    };
    struct Block {
        std::unique_ptr<char[], FreeBlock> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
        std::size_t entries = 0;  // texts stored here and not yet removed
    };
    struct Entry {
        const char* text;
        std::size_t size;
    };

    static char* allocateBlock(std::size_t capacity);
    // Only advice: where the system offers no huge pages on request, small pages serve as well.
    static void preferHugePages(void* bytes, std::size_t size);
    Block& blockWithRoom(std::size_t size);
    void dropFirst();

    mutable std::mutex mutex_;
    std::deque<Block> blocks_;
    std::deque<Entry> entries_;
    const std::size_t byteLimit_;
    std::size_t bytes_ = 0;
};

}  // namespace clipforge
