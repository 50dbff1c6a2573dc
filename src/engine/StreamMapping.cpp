#include "engine/StreamMapping.h"

#include <charconv>

namespace clipforge {

void StreamMapping::add(std::string_view line)
{
    constexpr std::string_view From = "Stream #0:";
    constexpr std::string_view To = " -> #0:";
    const std::size_t from = line.find(From);
    if (from == std::string_view::npos || line.find(To, from) == std::string_view::npos)
        return;
    // Only a line that begins with the stream, as the mapping's lines do; a file name that
    // merely holds these words is preceded by other text.
    if (line.find_first_not_of(' ') != from)
        return;
    int source = -1;
    const char* digits = line.data() + from + From.size();
    const auto [end, error] = std::from_chars(digits, line.data() + line.size(), source);
    const std::string_view rest = line.substr(static_cast<std::size_t>(end - line.data()));
    if (error == std::errc() && rest.starts_with(" -> ") && source >= 0)
        sources_.push_back(source);
}

}  // namespace clipforge
