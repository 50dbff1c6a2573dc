#include "support/SmallDisk.h"

#include "support/Processes.h"

#include <unistd.h>

#include <filesystem>

namespace clipforge::test {

SmallDisk::SmallDisk(const std::string& folder, const std::string& size) : folder_(folder)
{
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    mounted_ = ::geteuid() == 0 &&
               runTool({"mount", "-t", "tmpfs", "-o", "size=" + size + ",mode=0755", "tmpfs", folder}).exitCode == 0;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        runTool({"umount", folder_});
}

}  // namespace clipforge::test
