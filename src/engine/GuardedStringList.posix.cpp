#include "engine/GuardedStringList.h"

#include <sys/mman.h>

namespace clipforge {

void GuardedStringList::preferHugePages([[maybe_unused]] void* bytes, [[maybe_unused]] std::size_t size)
{
#ifdef MADV_HUGEPAGE
    ::madvise(bytes, size, MADV_HUGEPAGE);
#endif
}

}  // namespace clipforge
