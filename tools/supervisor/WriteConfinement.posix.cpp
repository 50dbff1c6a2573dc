#include "WriteConfinement.h"

#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace supervisor {
namespace {

// The rights each ABI added, by their fixed bit numbers: older system headers lack the newer names.
constexpr std::uint64_t bit(int number) { return std::uint64_t{1} << number; }
constexpr std::uint64_t WriteFile = bit(1);
constexpr std::uint64_t Truncate = bit(14);                // ABI 3
constexpr std::uint64_t Refer = bit(13);                   // ABI 2
constexpr std::uint64_t ChangesToFolders = bit(4) | bit(5) | bit(6) | bit(7) | bit(8) | bit(9) | bit(10) | bit(11) |
                                           bit(12);        // remove and make anything, ABI 1

// Every right that creates, changes or removes a file and that this kernel knows. Reading,
// listing and executing stay unhandled, so they stay free. Truncating by path is only known
// from ABI 3 on; changing modes, owners and times is known to none.
std::uint64_t writeRights(int abi)
{
    std::uint64_t rights = WriteFile | ChangesToFolders;
    if (abi >= 2)
        rights |= Refer;
    if (abi >= 3)
        rights |= Truncate;
    return rights;
}

int allowBeneath(int ruleset, const char* path, std::uint64_t rights)
{
    const int fd = ::open(path, O_PATH | O_CLOEXEC);
    if (fd < 0)
        return errno;
    landlock_path_beneath_attr rule{};
    rule.allowed_access = rights;
    rule.parent_fd = fd;
    const long added = ::syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
    const int error = added < 0 ? errno : 0;
    ::close(fd);
    return error;
}

int restrictTo(int ruleset, const char* folder, const char* alsoWritable, std::uint64_t rights)
{
    if (const int error = allowBeneath(ruleset, folder, rights))
        return error;
    if (alsoWritable && *alsoWritable)
        if (const int error = allowBeneath(ruleset, alsoWritable, rights))
            return error;
    if (const int error = allowBeneath(ruleset, "/dev/null", rights & (WriteFile | Truncate)))
        return error;
    // Without it an unprivileged process may not restrict itself; it also keeps a set-user-id
    // program the converter might start from gaining what the restriction takes away.
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return errno;
    if (::syscall(SYS_landlock_restrict_self, ruleset, 0) != 0)
        return errno;
    return 0;
}

}  // namespace

int landlockAbi()
{
    const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return abi < 0 ? 0 : static_cast<int>(abi);
}

int confineWrites(const char* folder, const char* alsoWritable)
{
    const int abi = landlockAbi();
    if (abi <= 0)
        return 0;
    landlock_ruleset_attr attributes{};
    attributes.handled_access_fs = writeRights(abi);
    const long ruleset = ::syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0);
    if (ruleset < 0)
        return errno;
    const int error = restrictTo(static_cast<int>(ruleset), folder, alsoWritable, attributes.handled_access_fs);
    ::close(static_cast<int>(ruleset));
    return error;
}

}  // namespace supervisor
