#pragma once

#include <string>

namespace clipforge {

// Clears what writers on this machine left in folder when they died: private output folders
// and temporary list files whose lock can be taken at once. One whose lock is held, by another
// process or by this one, is someone's live work and stays; so does every other machine's, and
// everything else in the folder. Nothing is decided by process id or age. Silent: a folder that
// cannot be read, or a leftover that cannot be removed, is left as it is.
void clearLeftovers(const std::string& folder);

// Removes everything inside the private output folder open as folderFd, its lock file last,
// then the folder itself, named name inside parentFd. Subfolders go only when empty.
void removePrivateFolder(int parentFd, const std::string& name, int folderFd);

}  // namespace clipforge
