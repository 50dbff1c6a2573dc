#include "engine/DefaultOutputFolder.h"

#include "core/Paths.h"

#include <fcntl.h>
#include <unistd.h>

namespace clipforge {

bool isWritableFolder(const std::string& folder)
{
    // AT_EACCESS: the rights of the user the program runs as, which is what the converter gets.
    return folderExists(folder) && ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace clipforge
