#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clipforge {

// A list of texts that the main thread and a runner's worker may both use at
// any time. Readers get copies, never references into the list. The texts sit
// back to back in one buffer: a converter that writes hundreds of thousands of
// lines costs no allocation per line.
class GuardedStringList {
public:
    void add(std::string_view text);
    void clear();
    std::size_t count() const;
    bool empty() const;
    std::string at(std::size_t index) const;
    std::vector<std::string> items() const;

    std::optional<std::string> first() const;
    void removeFirst();

private:
    std::string_view entry(std::size_t index) const;

    mutable std::mutex mutex_;
    std::string text_;
    std::vector<std::size_t> ends_;
    std::size_t removed_ = 0;  // entries taken from the front, not yet compacted
};

}  // namespace clipforge
