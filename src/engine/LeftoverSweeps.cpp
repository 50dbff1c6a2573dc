#include "engine/LeftoverSweeps.h"

#include "core/LeftoverCleaner.h"

namespace clipforge {

void LeftoverSweeps::sweepOnce(const std::string& folder)
{
    if (swept_.insert(folder).second)
        clearLeftovers(folder);
}

}  // namespace clipforge
