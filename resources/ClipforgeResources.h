#pragma once

namespace clipforge {

// Registers the embedded artwork (":/images/...", ":/icons/...") with Qt's resource system.
// Linking clipforge_resources into an executable already does this; the call is needed only when the
// resources arrive through another static library. Calling it more than once is harmless.
void initResources();

} // namespace clipforge
