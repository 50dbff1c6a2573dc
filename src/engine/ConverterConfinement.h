#pragma once

#include <string>

namespace clipforge {

// The Landlock ABI version the running kernel offers; 0 when it offers none.
int landlockAbi();

// Whether a converter started here can be kept from writing outside its private folder: the
// kernel must offer Landlock, and the supervisor that applies it must be there.
bool convertersConfinable();

// What a run says once, on standard error or in its report, when converters cannot be confined;
// empty when they can.
std::string confinementNotice();

}  // namespace clipforge
