#include "engine/ConverterConfinement.h"

#include "engine/ChildProcess.h"

#include <linux/landlock.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace clipforge {

int landlockAbi()
{
    const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return abi < 0 ? 0 : static_cast<int>(abi);
}

bool convertersConfinable()
{
    const std::string supervisor = ChildProcess::supervisor();
    return landlockAbi() > 0 && !supervisor.empty() && ::access(supervisor.c_str(), X_OK) == 0;
}

std::string confinementNotice()
{
    if (convertersConfinable())
        return {};
    if (landlockAbi() <= 0)
        return "the converter cannot be confined here (Landlock is not available)";
    return "the converter cannot be confined here (clipforge-supervisor is missing)";
}

}  // namespace clipforge
