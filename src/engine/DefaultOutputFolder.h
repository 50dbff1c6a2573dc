#pragma once

#include <string>

// Where a job without a folder of its own writes its output. Both the window and
// clipforge-batch ask this one place, so the two never disagree.
namespace clipforge {

// "convert/" below the program folder while it is a folder this user can write into (a build
// tree, a portable copy). An installed program folder belongs to root, so there the default is
// the per-user folder instead.
std::string defaultOutputFolder(const std::string& programFolder);

// The user's videos folder + "/Clipforge/".
std::string userOutputFolder();

// True when folder is a folder (or a link to one) that the user the program runs as may create
// files in.
bool isWritableFolder(const std::string& folder);

// Makes the per-user folder when folder is that folder and it does not exist yet. Any other
// folder is left as it is: a job's own folder is neither tested nor created. Throws
// clipforge::Error naming the folder and the reason when it cannot be made.
void prepareOutputFolder(const std::string& folder);

}  // namespace clipforge
