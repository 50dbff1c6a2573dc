#include "engine/DefaultOutputFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clipforge {

bool isWritableFolder(const std::string& folder)
{
    struct stat status {};
    // AT_EACCESS: the rights of the user the program runs as, which is what the converter gets.
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace clipforge
