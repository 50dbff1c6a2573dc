#pragma once

#include <string>

// The names of files that are not finished yet: a job's private output folder and a list being
// saved. Each says what it is and which machine made it, so the leftovers of a writer that died
// can be found again, and only this machine's are ever taken for leftovers here.
namespace clipforge {

// The lock file inside a private output folder.
inline constexpr const char* privateFolderLockName = "lock";

// ".clipforge-partial.HOST.XXXXXX", for mkdtemp.
std::string privateFolderTemplate();
// A name privateFolderTemplate gave on this machine.
bool isOwnPrivateFolder(const std::string& name);

// "." + listName (shortened) + ".clipforge-saving.HOST." + six random letters and digits.
std::string temporaryListName(const std::string& listName);
// A name temporaryListName gave on this machine.
bool isOwnTemporaryList(const std::string& name);

}  // namespace clipforge
