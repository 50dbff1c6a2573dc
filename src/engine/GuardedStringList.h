#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace clipforge {

// A list of texts that the main thread and a runner's worker may both use at
// any time. Readers get copies, never references into the list.
class GuardedStringList {
public:
    void add(std::string text);
    void clear();
    std::size_t count() const;
    bool empty() const;
    std::string at(std::size_t index) const;
    std::vector<std::string> items() const;

    std::optional<std::string> first() const;
    void removeFirst();
    // Replaces the first entry, if any; the worker keeps the unwritten rest of
    // an input line there.
    void replaceFirst(std::string text);

private:
    mutable std::mutex mutex_;
    std::vector<std::string> items_;
};

}  // namespace clipforge
