#pragma once

#include <functional>
#include <string>

namespace clipforge {

// Where the runner shows that a converter could not be started. The desktop
// program installs a modal message box; tests install a recorder. Without one
// the message goes to standard error. Called on the main thread.
using StartFailureReporter = std::function<void(const std::string& message)>;

// Installs reporter (an empty one restores the default) and returns the one
// it replaces.
StartFailureReporter setStartFailureReporter(StartFailureReporter reporter);

void reportStartFailure(const std::string& message);

// The message for a command line whose program could not be started.
inline std::string startFailureMessage(const std::string& commandLine) { return commandLine + " doesn't exist."; }

}  // namespace clipforge
