#pragma once

namespace clipforge {

// Makes the program's own controls known to assistive technology (buttons, the progress bar);
// the controls call it when they are made, and it acts once.
void installAccessibleControls();

}  // namespace clipforge
