#include "engine/NameFitting.h"

#include <climits>
#include <unistd.h>

namespace clipforge {

std::size_t fileNameLimit(const std::string& folder)
{
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
}

}  // namespace clipforge
