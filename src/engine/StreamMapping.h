#pragma once

#include <string_view>
#include <vector>

namespace clipforge {

// Which of the source's streams the converter says it chose ("Stream #0:1 -> #0:0 ..." under
// "Stream mapping:"), in the output's order. What a profile without -map gets is the
// converter's own choice; these lines tell which stream of a kind it took.
class StreamMapping {
public:
    void clear() { sources_.clear(); }
    // One whole line of the converter's output.
    void add(std::string_view line);
    const std::vector<int>& sources() const { return sources_; }

private:
    std::vector<int> sources_;
};

}  // namespace clipforge
